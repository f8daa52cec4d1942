#pragma once
// The readiness checks: will a scheduled run work on this machine, for this
// user? Each reads what a run reads, the same way, and changes nothing but a
// probe file it creates and deletes in the log folder.
#include "check/check_context.h"
#include "check/check_result.h"

namespace lss {

CheckResult CheckOutlook(CheckContext& context);
CheckResult CheckMapi(CheckContext& context);
CheckResult CheckLogFolder(CheckContext& context);
CheckResult CheckWaitSeconds(CheckContext& context);
CheckResult CheckToolbar(CheckContext& context);
CheckResult CheckOutlookRunning(CheckContext& context);
CheckResult CheckSyncNow(CheckContext& context);

}  // namespace lss
