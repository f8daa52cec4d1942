#include "check/check_result.h"

namespace lss {

namespace {

int Severity(CheckStatus status) {
  switch (status) {
    case CheckStatus::kOk:
    case CheckStatus::kInfo: return 0;
    case CheckStatus::kWarn: return 1;
    case CheckStatus::kFail: return 2;
  }
  return 2;
}

}  // namespace

CheckStatus Worst(CheckStatus a, CheckStatus b) { return Severity(b) > Severity(a) ? b : a; }

CheckStatus Verdict(const std::vector<CheckResult>& results) {
  CheckStatus worst = CheckStatus::kOk;
  for (const CheckResult& result : results) worst = Worst(worst, result.status);
  return worst;
}

std::u16string_view StatusName(CheckStatus status) {
  switch (status) {
    case CheckStatus::kOk: return u"OK";
    case CheckStatus::kInfo: return u"INFO";
    case CheckStatus::kWarn: return u"WARN";
    case CheckStatus::kFail: return u"FAIL";
  }
  return u"FAIL";
}

int ExitCodeOf(CheckStatus status) { return Severity(status); }

}  // namespace lss
