#include "harness/wine_debug_log.h"

#include "harness/scratch_files.h"
#include "harness/text.h"

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
  for (const std::string_view part : Split(added, "\n")) {
    if (part.find(text) == std::string_view::npos) continue;
    std::string line(part);
    const std::size_t colon = line.find(':');
    if (colon != std::string::npos && line.find_first_not_of("0123456789abcdefABCDEF") == colon) {
      line.erase(0, colon + 1);
    }
    lines.push_back(line);
  }
  return lines;
}

}  // namespace e2e
