#pragma once
// System time, the local calendar and Sleep.
#include "platform/clock.h"

namespace lss {

class Win32Clock final : public Clock {
 public:
  Win32Clock() = default;

  std::int64_t Now() override;
  bool ToLocal(std::int64_t seconds, LocalTime* out) override;
  void Sleep(std::uint32_t milliseconds) override;
};

}  // namespace lss
