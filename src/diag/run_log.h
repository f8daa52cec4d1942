#pragma once
// The run log: one time-stamped 8-bit text file per start.
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/file_system.h"

namespace lss {

// Matches the name of every log file (and a few other names).
inline constexpr std::u16string_view kRunLogFilePattern = u"Scheduler*.log";
// Characters of text per line of the file; longer entries go on in
// continuation lines without a stamp.
inline constexpr std::size_t kRunLogLineLength = 200;
// The longest log file path Windows opens for this program, which is not
// long-path aware: MAX_PATH less its NUL. A folder whose log file would have
// a longer path gets no log; nothing is cut short.
inline constexpr std::size_t kLongestRunLogPath = 259;

// "<folder>\<name>", with no second backslash when the folder ends in one.
std::u16string JoinPath(std::u16string_view folder, std::u16string_view name);
// The path of the run log `name` in `folder`, joined as JoinPath joins.
std::u16string RunLogPath(std::u16string_view folder, std::u16string_view name);
// Whether a run's log file in `folder`, named with its time, has a path
// Windows opens for this program (at most kLongestRunLogPath); `length` gets
// that path's length.
bool RunLogPathFits(std::u16string_view folder, std::size_t* length);
// The local time a log file was opened, read from its name
// "Scheduler<ddmmyyHHMMSS>.log"; nothing for any other name.
std::optional<LocalTime> ParseRunLogFileName(std::u16string_view name);
// The local time of an entry's stamp "dd-mm-yy HH:MM:SS: " at the start of a
// line of the file, and the entry's text after it; nothing when the line
// does not start with a stamp (a continuation line).
struct StampedLine {
  LocalTime time;
  std::u16string_view text;
};
std::optional<StampedLine> ParseRunLogLine(std::u16string_view line);

// Creates `folder` and every missing folder above it, top down. False at the
// first that cannot be made: a parent that is a file, no right to create it,
// a missing drive or share, an invalid name.
bool CreateFolderWithParents(FileSystem& files, std::u16string_view folder);

class RunLog {
 public:
  RunLog() = default;
  RunLog(const RunLog&) = delete;
  RunLog& operator=(const RunLog&) = delete;

  // Opens "<folder>\Scheduler<ddmmyyHHMMSS>.log". A missing folder is
  // created first, with its missing parents. An empty folder, a path longer
  // than kLongestRunLogPath, a read-only file, or a failed creation or open
  // leave the log closed. Reports nothing. The clock is kept for the entry
  // stamps.
  void Open(Clock& clock, FileSystem& files, std::u16string_view folder);
  bool IsOpen() const { return file_ != nullptr; }
  // The log file's name, once a folder was given (also when it did not open).
  const std::u16string& path() const { return path_; }
  // The local time in the log file's name; nothing when the name holds none.
  const std::optional<LocalTime>& openedAt() const { return openedAt_; }

  // Writes one stamped entry. Does nothing while closed. Output errors are
  // dropped; a failed move to the end throws CFileException* (bad seek).
  void Write(std::u16string_view message);
  // As Write, but a bad seek is dropped too: for callers that nothing guards.
  void WriteQuietly(std::u16string_view message) noexcept;

 private:
  Clock* clock_ = nullptr;
  std::unique_ptr<File> file_;
  std::u16string path_;
  std::optional<LocalTime> openedAt_;
};

}  // namespace lss
