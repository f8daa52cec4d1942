#pragma once
// What every check is given, and the names and helpers the check files share.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "check/check_result.h"
#include "platform/check_platform.h"
#include "settings/settings_store.h"

namespace lss {

struct CheckContext {
  CheckPlatform& os;
  SettingsStore& settings;  // read-only, rooted at the product's key
};

// The scheduler's program file, as the process list and a task's action name it.
inline constexpr std::u16string_view kSchedulerImage = u"LSScheduler.exe";
// The check tool's own file, as the template's second action names it.
inline constexpr std::u16string_view kCheckImage = u"LSSchedulerCheck.exe";
// The task the README and the rollout guide create.
inline constexpr std::u16string_view kDefaultTaskName = u"Larkspan Nightly";
// What the MSI records under HKLM (64-bit view): the task it registered.
inline constexpr std::u16string_view kInstallerKey = u"Software\\Brinmoor\\LSScheduler";
inline constexpr std::u16string_view kInstalledTaskName = u"TaskName";
// At most this much of a log's end is read: the scheduler's logs are a few
// hundred bytes, anything larger is not one of its logs or not only that.
inline constexpr std::size_t kLogTailBytes = std::size_t{64} * 1024;

inline CheckResult MakeResult(std::u16string_view id, CheckStatus status, std::u16string message) {
  return CheckResult{std::u16string(id), status, std::move(message), {}};
}

// A Win32 error's or HRESULT's system text without its line break, or
// "error <code>".
std::u16string WindowsErrorText(SystemMessages& messages, Status code);

// A REG_SZ or REG_EXPAND_SZ value of HKLM (not expanded; `name` empty for the
// key's default value) read through `view`, reg::kWow64_64Key or
// reg::kWow64_32Key. Empty when the key or value is missing, unreadable or of
// another type.
std::u16string ReadMachineText(Registry& registry, std::uint32_t view, std::u16string_view key,
                               std::u16string_view name);

// A local time as the findings show it ("07-12-26 02:00:00"), "?" when invalid.
std::u16string ShownTime(const LocalTime& time);
// A local time as JSON details give it ("2026-12-07T02:00:00"), empty when invalid.
std::u16string IsoTime(const LocalTime& time);
// The same with its offset from UTC ("2026-12-07T02:00:00+05:30"), empty when
// the time is invalid or the offset is not one a zone has (beyond 24 hours).
std::u16string IsoTimeWithOffset(const LocalTime& time, std::int32_t offsetMinutes);

}  // namespace lss
