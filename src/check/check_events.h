#pragma once
// The one event the check tool writes to the Application log (--eventlog).
// The ids are the message ids of the tool's message table
// (src/main/check_messages.mc), with no severity or facility bits, so that
// Event Viewer finds the text under the id it shows; change both together.
#include <cstdint>
#include <string_view>

namespace lss::check_event {

inline constexpr std::u16string_view kSource = u"LSScheduler";

inline constexpr std::uint32_t kOk = 1000;
inline constexpr std::uint32_t kWarn = 1001;
inline constexpr std::uint32_t kFail = 1002;

// The version of the insertion strings' layout, the event's %8: raised
// whenever a rule keyed on them could be misled by a change. Strings are only
// ever appended; %1 to %7 stay where they are.
inline constexpr std::int32_t kLayout = 2;

}  // namespace lss::check_event
