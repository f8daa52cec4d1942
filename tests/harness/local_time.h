#pragma once
// Local wall-clock time to the second, as the program's stamps show it.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace e2e {

// Seconds of local time on a linear scale (for comparing, not for display).
using LocalSeconds = std::int64_t;

LocalSeconds LocalNow();

// "dd-mm-yy HH:MM:SS:" (the stamp of a log entry); nothing when malformed.
std::optional<LocalSeconds> ParseEntryStamp(std::string_view stamp);
// "ddmmyyHHMMSS" (the stamp of a log file's name); nothing when malformed.
std::optional<LocalSeconds> ParseFileStamp(std::string_view digits);
// The log file name the program gives a file opened at `time`.
std::wstring LogFileNameAt(LocalSeconds time);

}  // namespace e2e
