#include "check/check_facts.h"

#include "check/check_context.h"
#include "diag/run_log.h"

namespace lss {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
// 0001-01-01T00:00:00Z and 9999-12-31T23:59:59Z.
constexpr std::int64_t kEarliest = -62135596800;
constexpr std::int64_t kLatest = 253402300799;

void AppendDigits(std::u16string& text, std::int64_t value, int digits) {
  std::u16string field(static_cast<std::size_t>(digits), u'0');
  for (int i = digits - 1; i >= 0; --i, value /= 10) {
    field[static_cast<std::size_t>(i)] = static_cast<char16_t>(u'0' + value % 10);
  }
  text += field;
}

}  // namespace

std::u16string UtcIsoTime(std::int64_t seconds) {
  if (seconds < kEarliest || seconds > kLatest) return {};
  // Days since 1970 to the civil date, counted in 400-year eras from 1 March 0000.
  const std::int64_t secondOfDay = ((seconds % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay;
  const std::int64_t days = (seconds - secondOfDay) / kSecondsPerDay + 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const std::int64_t dayOfEra = days - era * 146097;
  const std::int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
  const std::int64_t day = dayOfYear - (153 * monthFromMarch + 2) / 5 + 1;
  const std::int64_t month = monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9;
  const std::int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
  std::u16string text;
  AppendDigits(text, year, 4);
  text += u'-';
  AppendDigits(text, month, 2);
  text += u'-';
  AppendDigits(text, day, 2);
  text += u'T';
  AppendDigits(text, secondOfDay / 3600, 2);
  text += u':';
  AppendDigits(text, secondOfDay / 60 % 60, 2);
  text += u':';
  AppendDigits(text, secondOfDay % 60, 2);
  text += u'Z';
  return text;
}

std::u16string SchedulerBesideTool(CheckQueries& queries) {
  const std::u16string program = queries.ProgramPath();
  const std::size_t separator = program.find_last_of(u"\\/");
  if (separator == std::u16string::npos) return {};
  return RunLogPath(std::u16string_view(program).substr(0, separator), kSchedulerImage);
}

CheckFacts GatherCheckFacts(CheckPlatform& os) {
  CheckFacts facts;
  facts.computer = os.queries.ComputerName();
  facts.user = os.queries.UserName();
  facts.checkedAt = UtcIsoTime(os.clock.Now());
  if (const std::u16string scheduler = SchedulerBesideTool(os.queries); !scheduler.empty()) {
    facts.schedulerVersion = os.queries.FileVersion(scheduler);
  }
  return facts;
}

}  // namespace lss
