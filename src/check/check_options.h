#pragma once
// What LSSchedulerCheck is asked to do, as its arguments say it.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lss {

// The arguments are not usable (or a --collect folder is not new or empty).
inline constexpr int kUsageExitCode = 64;

struct CheckOptions {
  bool json = false;
  bool quiet = false;
  bool eventLog = false;
  bool help = false;
  bool version = false;
  std::optional<std::int32_t> maxAgeHours;
  std::u16string taskName;           // empty: the task the MSI recorded, or the default
  std::vector<std::u16string> only;  // check ids; empty: every check
  std::u16string collectFolder;      // --collect: where the support bundle goes
  std::u16string error;              // set when the arguments are not usable
};

}  // namespace lss
