#pragma once
// The last-run verdict: how the newest run log says the last run went.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "check/check_context.h"
#include "check/check_result.h"
#include "platform/check_queries.h"
#include "platform/file_system.h"
#include "platform/clock.h"

namespace lss {

struct RunLogEntry {
  LocalTime time;
  std::u16string text;  // continuation lines joined (LF between the lines of a message)
};

struct ParsedRunLog {
  std::vector<RunLogEntry> entries;
  // Why the bytes are not a log as the scheduler writes it; empty when they are.
  std::u16string problem;
};

// Reads 8-bit log bytes. `cutShort`: the bytes are the tail of a longer file,
// so they start anywhere; reading starts at the first stamped line.
ParsedRunLog ParseRunLogBytes(std::string_view bytes, bool cutShort);

struct LogToJudge {
  std::u16string path;
  LocalTime opened;  // from the file's name
  std::string bytes;
  std::uint64_t size = 0;         // of the whole file; more than bytes.size() when cut short
  bool schedulerRunning = false;  // an LSScheduler.exe of this user is running now
};

// When the judged run's first and last entries were written, and the first
// error code it logged.
struct RunSpan {
  LocalTime start;
  LocalTime end;
  std::u16string errorCode;  // "0x8004010F"; empty when no entry carries one
};

// The verdict on one log file, without regard to its age; `span`, when given,
// gets the run's times and error code if the log holds entries.
CheckResult JudgeRunLog(const LogToJudge& file, std::optional<RunSpan>* span = nullptr);

// How long after the task starts a run, at most, the run's log begins.
inline constexpr std::int64_t kLogGraceSeconds = std::int64_t{5} * 60;

// The run the last-run check judged, as the event and the JSON name it.
struct JudgedRun {
  std::u16string file;  // the log judged; empty when none was read
  // Its first and last entry, local ISO 8601 ("2026-12-07T02:00:00"), then
  // with their offset from UTC; empty when the log holds no entry or the
  // time or offset cannot be told.
  std::u16string start;
  std::u16string end;
  std::u16string startWithOffset;
  std::u16string endWithOffset;
  std::u16string errorCode;  // the first one the run logged; empty when none
};

// Judges the newest log of a scheduled run in the log folder: the newest by
// the time in its name that holds anything, leaving out logs named more than
// a day after the clock's local time now. Those are named in the message, and
// the verdict is at least a warning. Empty logs (starts without -s) newer
// than the judged one are counted. With `maxAgeHours`, fails when that run
// started longer ago; with `taskLastRun`, fails when the task ran more than
// kLogGraceSeconds after that run started (it left no log of its own).
// `judged`, when given, gets the run it judged.
CheckResult CheckLastRun(CheckContext& context, std::optional<std::int32_t> maxAgeHours,
                         const std::optional<LocalTime>& taskLastRun, JudgedRun* judged = nullptr);

struct RunLogFile {
  std::u16string name;
  LocalTime opened;  // from the name
  std::uint64_t size = 0;
};

// The run logs among the listed files, newest first by the time in their
// names; other names and folders left out.
std::vector<RunLogFile> RunLogsNewestFirst(const std::vector<FileSystem::Entry>& listed);

}  // namespace lss
