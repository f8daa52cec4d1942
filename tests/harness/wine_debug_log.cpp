#include "harness/wine_debug_log.h"

#include "harness/scratch_files.h"

namespace e2e {

WineDebugLog::WineDebugLog()
    : path_(PathFromEnvironment(L"LSS_WINE_DEBUG_LOG")), start_(ReadFileBytes(path_).size()) {}

std::string WineDebugLog::Added() const {
  const std::string all = ReadFileBytes(path_);
  return all.size() > start_ ? all.substr(start_) : std::string();
}

}  // namespace e2e
