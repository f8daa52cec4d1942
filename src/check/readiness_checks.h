#pragma once
// The readiness checks: will a scheduled run work on this machine, for this
// user? Each reads what a run reads, the same way, and changes nothing but a
// probe file it creates and deletes in the log folder.
#include "check/check_result.h"
#include "platform/platform.h"
#include "settings/settings_store.h"

namespace lss {

struct CheckContext {
  Platform& os;
  SettingsStore& settings;  // read-only, rooted at the product's key
};

CheckResult CheckOutlook(CheckContext& context);
CheckResult CheckMapi(CheckContext& context);
CheckResult CheckLogFolder(CheckContext& context);
CheckResult CheckWaitSeconds(CheckContext& context);
CheckResult CheckToolbar(CheckContext& context);
CheckResult CheckOutlookRunning(CheckContext& context);
CheckResult CheckSyncNow(CheckContext& context);

// A Win32 error's system text without its line break, or "error <code>".
std::u16string WindowsErrorText(SystemMessages& messages, Status code);

}  // namespace lss
