#include "fake/fake_clock.h"

#include <cstdint>

namespace lss::test {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
// What a FILETIME can hold: 100 ns ticks from 1601 up to the largest signed 64-bit count.
constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;
constexpr std::int64_t kLatest = INT64_MAX / 10'000'000 - kSecondsFrom1601To1970;

// Days since 1970-01-01 of a proleptic Gregorian date, and back (the
// era-based conversions, exact for every date).
std::int64_t DaysFromCivil(std::int64_t year, int month, int day) {
  year -= month <= 2;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t yearOfEra = year - era * 400;
  const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

void CivilFromDays(std::int64_t days, LocalTime* out) {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const std::int64_t dayOfEra = days - era * 146097;
  const std::int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;
  out->day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
  out->month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
  out->year = static_cast<int>(yearOfEra + era * 400 + (out->month <= 2));
}

std::int64_t FloorDiv(std::int64_t value, std::int64_t divisor) {
  return value / divisor - (value % divisor < 0);
}

}  // namespace

bool FakeClock::ToLocal(std::int64_t seconds, LocalTime* out) {
  ++toLocalCalls_;
  if (failToLocal_ || seconds < -kSecondsFrom1601To1970 || seconds > kLatest) return false;
  seconds += zoneSeconds_;
  const std::int64_t days = FloorDiv(seconds, kSecondsPerDay);
  const std::int64_t ofDay = seconds - days * kSecondsPerDay;
  CivilFromDays(days, out);
  out->hour = static_cast<int>(ofDay / 3600);
  out->minute = static_cast<int>(ofDay / 60 % 60);
  out->second = static_cast<int>(ofDay % 60);
  return true;
}

void FakeClock::Sleep(std::uint32_t milliseconds) {
  if (journal_ != nullptr) journal_->Add("Sleep " + std::to_string(milliseconds));
  sleeps_.push_back(milliseconds);
  milliseconds_ += milliseconds;
}

void FakeClock::SetLocalTime(const LocalTime& time) {
  SetNow(DaysFromCivil(time.year, time.month, time.day) * kSecondsPerDay + time.hour * 3600 +
         time.minute * 60 + time.second - zoneSeconds_);
}

}  // namespace lss::test
