#pragma once
// LSSchedulerCheck: its options, the order of its checks, and its output.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "check/check_result.h"
#include "platform/check_platform.h"
#include "platform/console.h"

namespace lss {

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

// The ids of every check, in the order of the report.
const std::vector<std::u16string_view>& CheckIds();

// Reads the arguments (without the program's own name) by the usual
// conventions: --json, --quiet, --eventlog, --help (-h, /?), --version,
// --max-age-hours N, --task NAME, --only ID[,ID...], --collect FOLDER (a
// value also after "=").
CheckOptions ParseCheckOptions(const std::vector<std::u16string>& arguments);

// The checks the options ask for, in the order of the report, with the
// registry opened read-only. `judgedTask`, when given, gets the name of the
// task the task and last-run checks read; empty when neither ran.
std::vector<CheckResult> RunChecks(CheckPlatform& os, const CheckOptions& options,
                                   std::u16string* judgedTask = nullptr);

// The whole tool: reads the process's arguments, writes the report (or the
// usage, version or error) to the console and, when asked, one event to the
// Application log; returns the exit code.
int RunCheckTool(CheckPlatform& os, Console& console, std::u16string_view version);

}  // namespace lss
