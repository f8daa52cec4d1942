#pragma once
// One check's outcome, and how outcomes combine into the tool's verdict.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace lss {

// Ordered from best to worst.
enum class CheckStatus { kOk, kWarn, kFail };

struct CheckResult {
  std::u16string id;  // stable: used by scripts and in the README
  CheckStatus status = CheckStatus::kOk;
  std::u16string message;  // what was found and what to do, one line
  std::vector<std::pair<std::u16string, std::u16string>> details;  // name, value
};

inline CheckStatus Worst(CheckStatus a, CheckStatus b) { return a < b ? b : a; }

CheckStatus Verdict(const std::vector<CheckResult>& results);
// "OK", "WARN", "FAIL".
std::u16string_view StatusName(CheckStatus status);
// 0, 1, 2.
int ExitCodeOf(CheckStatus status);

}  // namespace lss
