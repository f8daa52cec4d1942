#pragma once
// How long a run waits for Outlook to come up: the stored
// WaitSecondsForOutlookStart, or 15 seconds when it is missing or unusable.
#include <cstdint>

namespace lss {

inline constexpr std::int32_t kDefaultWaitSeconds = 15;

// The seconds a run waits, from the stored value as ReadSettingInt gives it
// (-1 when missing): 0 and below become kDefaultWaitSeconds.
constexpr std::int32_t EffectiveWaitSeconds(std::int32_t stored) {
  return stored < 1 ? kDefaultWaitSeconds : stored;
}

}  // namespace lss
