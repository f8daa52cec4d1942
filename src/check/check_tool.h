#pragma once
// LSSchedulerCheck: its options, the order of its checks, and its output.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "check/check_result.h"
#include "platform/console.h"
#include "platform/platform.h"

namespace lss {

inline constexpr int kUsageExitCode = 64;

struct CheckOptions {
  bool json = false;
  bool help = false;
  bool version = false;
  std::optional<std::int32_t> maxAgeHours;
  std::u16string error;  // set when the arguments are not usable
};

// Reads the arguments (without the program's own name) by the usual
// conventions: --json, --help (-h, /?), --version, --max-age-hours N (or =N).
CheckOptions ParseCheckOptions(const std::vector<std::u16string>& arguments);

// Every check, in the order of the report, with the registry opened read-only.
std::vector<CheckResult> RunAllChecks(Platform& os, const CheckOptions& options);

// The whole tool: reads the process's arguments, writes the report (or the
// usage, version or error) to the console, returns the exit code.
int RunCheckTool(Platform& os, Console& console, std::u16string_view version);

}  // namespace lss
