#pragma once
// Time: the current time, its local calendar form, and sleeping.
#include <cstdint>

namespace lss {

struct LocalTime {
  int year = 0;    // e.g. 2026
  int month = 0;   // 1..12
  int day = 0;     // 1..31
  int hour = 0;    // 0..23
  int minute = 0;  // 0..59
  int second = 0;  // 0..60
};

class Clock {
 public:
  Clock() = default;
  Clock(const Clock&) = delete;
  Clock& operator=(const Clock&) = delete;
  virtual ~Clock() = default;

  // Seconds since 1 January 1970 UTC.
  virtual std::int64_t Now() = 0;
  // The machine's local calendar time for `seconds`; false when it cannot be
  // converted.
  virtual bool ToLocal(std::int64_t seconds, LocalTime* out) = 0;
  // Blocks the thread for `milliseconds` (Sleep).
  virtual void Sleep(std::uint32_t milliseconds) = 0;
};

}  // namespace lss
