#pragma once
// The run log's fixed entries, as a run writes them and the check tool reads
// them. The README's troubleshooting table explains each one. Progress entries
// say "KSScheduler: " where error entries say "LSScheduler Error". The
// difference is deliberate and must stay: the log's texts are part of the
// program's interface.
#include <string_view>

namespace lss {

// Every entry that reports an error of a run begins with this.
inline constexpr std::u16string_view kErrorEntryPrefix = u"LSScheduler Error";
// The error entries of an exception that escaped a run begin with this and
// its code as eight hexadecimal digits (a COM, MAPI or framework code).
inline constexpr std::u16string_view kErrorCodeEntryPrefix = u"LSScheduler Error: Code = ";

// Log entries: the toolbar block around a run that starts and ends Outlook.
inline constexpr std::u16string_view kBlockEntry = u"Block Larkspan Toolbar Load";
inline constexpr std::u16string_view kDeBlockEntry = u"De-Block Larkspan Toolbar Load";

// Log entries: Outlook's start.
inline constexpr std::u16string_view kStartingOutlook = u"KSScheduler: Starting Outlook %s";
inline constexpr std::u16string_view kWaitingForOutlook = u"KSScheduler: Waiting for Outlook";
inline constexpr std::u16string_view kCantFindOutlook =
    u"LSScheduler Error: Can't find Outlook.exe";
inline constexpr std::u16string_view kStartOutlookError =
    u"LSScheduler Error start Outlook: %s, error:%s";

// Log entries: the MAPI session and the wait for the add-in.
inline constexpr std::u16string_view kMapiInitialize = u"KSScheduler: MAPIInitialize";
inline constexpr std::u16string_view kMapiInitializeRetry =
    u"KSScheduler: MAPIInitialize Retry without MAPI_NO_COINIT";
inline constexpr std::u16string_view kMapiLogonEx = u"KSScheduler: MAPILogonEx";
inline constexpr std::u16string_view kWaitingForLarkspan = u"KSScheduler: Waiting for Larkspan";
inline constexpr std::u16string_view kMapiLogoff = u"KSScheduler: MAPI Logoff";
inline constexpr std::u16string_view kMapiLogoffFailed = u"KSScheduler: MAPI Logoff failed:";
inline constexpr std::u16string_view kMapiUninitialize = u"KSScheduler: MAPI MAPIUninitialize";

}  // namespace lss
