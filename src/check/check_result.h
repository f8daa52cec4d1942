#pragma once
// One check's outcome, and how outcomes combine into the tool's verdict.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lss {

// kInfo states a fact and counts as kOk for the verdict and the exit code.
enum class CheckStatus { kOk, kInfo, kWarn, kFail };

struct CheckResult {
  std::u16string id;  // stable: used by scripts and in the README
  CheckStatus status = CheckStatus::kOk;
  std::u16string message;  // what was found and what to do, one line
  std::vector<std::pair<std::u16string, std::u16string>> details;  // name, value
};

// The worse of the two for the verdict: kFail, then kWarn, then kOk (kInfo
// counts as kOk).
CheckStatus Worst(CheckStatus a, CheckStatus b);

// kOk, kWarn or kFail: never kInfo.
CheckStatus Verdict(const std::vector<CheckResult>& results);
// "OK", "INFO", "WARN", "FAIL".
std::u16string_view StatusName(CheckStatus status);
// 0 for kOk and kInfo, 1 for kWarn, 2 for kFail.
int ExitCodeOf(CheckStatus status);

}  // namespace lss
