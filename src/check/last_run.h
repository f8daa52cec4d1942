#pragma once
// The last-run verdict: how the newest run log says the last run went.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "check/check_result.h"
#include "check/readiness_checks.h"
#include "platform/clock.h"

namespace lss {

// At most this much of a log's end is read: the scheduler's logs are a few
// hundred bytes, anything larger is not one of its logs or not only that.
inline constexpr std::size_t kLogTailBytes = std::size_t{64} * 1024;

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

// The verdict on one log file, without regard to its age.
CheckResult JudgeRunLog(const LogToJudge& file);

// Finds the newest log in the log folder (newest by the time in its name),
// judges it, and with `maxAgeHours` fails when its run started longer ago.
CheckResult CheckLastRun(CheckContext& context, std::optional<std::int32_t> maxAgeHours);

// The newest of the log file names by the time they encode; empty when none
// of the names is a log's.
std::u16string NewestRunLogName(const std::vector<std::u16string>& names);

// Seconds on a linear scale, for ordering and differences of local times.
std::int64_t LinearSeconds(const LocalTime& time);

}  // namespace lss
