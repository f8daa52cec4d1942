#include "check/check_result.h"

namespace lss {

CheckStatus Verdict(const std::vector<CheckResult>& results) {
  CheckStatus worst = CheckStatus::kOk;
  for (const CheckResult& result : results) worst = Worst(worst, result.status);
  return worst;
}

std::u16string_view StatusName(CheckStatus status) {
  switch (status) {
    case CheckStatus::kOk: return u"OK";
    case CheckStatus::kWarn: return u"WARN";
    case CheckStatus::kFail: return u"FAIL";
  }
  return u"FAIL";
}

int ExitCodeOf(CheckStatus status) { return static_cast<int>(status); }

}  // namespace lss
