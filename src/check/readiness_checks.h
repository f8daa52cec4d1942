#pragma once
// The readiness checks: will a scheduled run work on this machine, for this
// user? Each reads what a run reads, the same way, and changes nothing but a
// probe file it creates and deletes in the log folder.
#include <optional>
#include <string>

#include "check/check_context.h"
#include "check/check_result.h"

namespace lss {

// What the mapi check found of the default mail client.
struct MailClientFound {
  std::optional<std::u16string> client;   // its name under HKLM\Software\Clients\Mail
  std::optional<std::u16string> library;  // its DLLPathEx as registered, variables unexpanded
};

// `path`, when given, gets the OUTLOOK.EXE that Outlook's App Paths entry
// names, when it names one.
CheckResult CheckOutlook(CheckContext& context, std::optional<std::u16string>* path = nullptr);
// `found`, when given, gets the mail client and its MAPI library, as far as
// they are registered.
CheckResult CheckMapi(CheckContext& context, MailClientFound* found = nullptr);
// `logFolder`, when given, gets the folder a run reads from LogDirectory,
// when it is set.
CheckResult CheckLogFolder(CheckContext& context,
                           std::optional<std::u16string>* logFolder = nullptr);
CheckResult CheckWaitSeconds(CheckContext& context);
CheckResult CheckToolbar(CheckContext& context);
CheckResult CheckOutlookRunning(CheckContext& context);
CheckResult CheckSyncNow(CheckContext& context);

}  // namespace lss
