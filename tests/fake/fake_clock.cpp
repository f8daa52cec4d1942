#include "fake/fake_clock.h"

#include <cstdint>

#include "diag/time_stamp.h"

namespace lss::test {

namespace {

// What a FILETIME can hold: 100 ns ticks from 1601 up to the largest signed 64-bit count.
constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;
constexpr std::int64_t kLatest = INT64_MAX / 10'000'000 - kSecondsFrom1601To1970;

// 1970-01-01 on the calendar's linear scale.
const std::int64_t kEpoch = LinearSeconds(LocalTime{1970, 1, 1, 0, 0, 0});

}  // namespace

bool FakeClock::ToLocal(std::int64_t seconds, LocalTime* out) {
  ++toLocalCalls_;
  if (failToLocal_ || seconds < -kSecondsFrom1601To1970 || seconds > kLatest) return false;
  *out = CalendarTime(seconds + zoneSeconds_ + kEpoch);
  return true;
}

void FakeClock::Sleep(std::uint32_t milliseconds) {
  if (journal_ != nullptr) journal_->Add("Sleep " + std::to_string(milliseconds));
  sleeps_.push_back(milliseconds);
  milliseconds_ += milliseconds;
}

void FakeClock::SetLocalTime(const LocalTime& time) {
  SetNow(LinearSeconds(time) - kEpoch - zoneSeconds_);
}

}  // namespace lss::test
