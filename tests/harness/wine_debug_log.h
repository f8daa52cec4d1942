#pragma once
// What Wine's debug channels print, for a test that runs under
// tests/e2e/with_wine_debug_log.sh. Wine writes them to the Unix standard
// error that all the prefix's processes started from the test share, which a
// Windows program cannot read; the script sends it to a file named by
// LSS_WINE_DEBUG_LOG instead.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace e2e {

class WineDebugLog {
 public:
  // Marks the log's present end. Throws when the test runs without the script.
  WineDebugLog();

  // Everything printed since the mark.
  std::string Added() const;
  // The lines printed since the mark that hold `text`, in order, each without
  // the thread number Wine puts in front ("0108:") and without its line break.
  std::vector<std::string> AddedLines(std::string_view text) const;

 private:
  std::wstring path_;
  std::size_t start_;
};

}  // namespace e2e
