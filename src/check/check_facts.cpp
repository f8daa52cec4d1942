#include "check/check_facts.h"

#include "check/check_context.h"
#include "check/pe_header.h"
#include "diag/run_log.h"
#include "diag/time_stamp.h"

namespace lss {

namespace {

// 0001-01-01T00:00:00Z and 9999-12-31T23:59:59Z.
constexpr std::int64_t kEarliest = -62135596800;
constexpr std::int64_t kLatest = 253402300799;

}  // namespace

std::u16string UtcIsoTime(std::int64_t seconds) {
  if (seconds < kEarliest || seconds > kLatest) return {};
  const LocalTime time = CalendarTime(seconds + LinearSeconds(LocalTime{1970, 1, 1, 0, 0, 0}));
  std::u16string text;
  AppendDigits(text, time.year, 4);
  text += u'-';
  AppendDigits(text, time.month, 2);
  text += u'-';
  AppendDigits(text, time.day, 2);
  text += u'T';
  AppendDigits(text, time.hour, 2);
  text += u':';
  AppendDigits(text, time.minute, 2);
  text += u':';
  AppendDigits(text, time.second, 2);
  text += u'Z';
  return text;
}

std::u16string SchedulerBesideTool(CheckQueries& queries) {
  const std::u16string program = queries.ProgramPath();
  const std::size_t separator = program.find_last_of(u"\\/");
  if (separator == std::u16string::npos) return {};
  return JoinPath(std::u16string_view(program).substr(0, separator), kSchedulerImage);
}

CheckFacts GatherCheckFacts(CheckPlatform& os) {
  CheckFacts facts;
  facts.computer = os.queries.ComputerName();
  facts.user = os.queries.UserName();
  facts.checkedAt = UtcIsoTime(os.clock.Now());
  if (const std::uint16_t machine = os.queries.NativeMachine(); machine != 0) {
    facts.nativeMachine = PeMachineName(machine);
  }
  if (const std::u16string scheduler = SchedulerBesideTool(os.queries); !scheduler.empty()) {
    facts.schedulerVersion = os.files.FileVersion(scheduler);
  }
  return facts;
}

}  // namespace lss
