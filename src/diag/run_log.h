#pragma once
// The run log: one time-stamped 8-bit text file per start.
#include <memory>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/file_system.h"

namespace lss {

class RunLog {
 public:
  RunLog() = default;
  RunLog(const RunLog&) = delete;
  RunLog& operator=(const RunLog&) = delete;

  // Opens "<folder>\Scheduler<ddmmyyHHMMSS>.log"; an empty folder, a
  // read-only file or a failed open leave the log closed. Reports nothing.
  // The clock is kept for the entry stamps.
  void Open(Clock& clock, FileSystem& files, std::u16string_view folder);
  bool IsOpen() const { return file_ != nullptr; }
  // The log file's name, once a folder was given (also when it did not open).
  const std::u16string& path() const { return path_; }

  // Writes one stamped entry. Does nothing while closed. Output errors are
  // dropped; a failed move to the end throws CFileException* (bad seek).
  void Write(std::u16string_view message);
  // As Write, but a bad seek is dropped too: for callers that nothing guards.
  void WriteQuietly(std::u16string_view message) noexcept;

 private:
  Clock* clock_ = nullptr;
  std::unique_ptr<File> file_;
  std::u16string path_;
};

}  // namespace lss
