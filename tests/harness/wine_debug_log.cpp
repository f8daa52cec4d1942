#include "harness/wine_debug_log.h"

#include "harness/scratch_files.h"

namespace e2e {

WineDebugLog::WineDebugLog()
    : path_(PathFromEnvironment(L"LSS_WINE_DEBUG_LOG")), start_(ReadFileBytes(path_).size()) {}

std::string WineDebugLog::Added() const {
  const std::string all = ReadFileBytes(path_);
  return all.size() > start_ ? all.substr(start_) : std::string();
}

std::vector<std::string> WineDebugLog::AddedLines(std::string_view text) const {
  const std::string added = Added();
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < added.size()) {
    std::size_t end = added.find('\n', at);
    if (end == std::string::npos) end = added.size();
    std::string line = added.substr(at, end - at);
    at = end + 1;
    if (line.find(text) == std::string::npos) continue;
    const std::size_t colon = line.find(':');
    if (colon != std::string::npos && line.find_first_not_of("0123456789abcdefABCDEF") == colon) {
      line.erase(0, colon + 1);
    }
    lines.push_back(line);
  }
  return lines;
}

}  // namespace e2e
