#include "platform/win32/win32_clock.h"

#include <windows.h>

#include <limits>

namespace lss {
namespace {

// FILETIME counts 100 ns ticks from 1 January 1601 UTC.
constexpr std::int64_t kTicksPerSecond = 10'000'000;
constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;

std::int64_t ToTicks(const FILETIME& time) {
  ULARGE_INTEGER ticks;
  ticks.LowPart = time.dwLowDateTime;
  ticks.HighPart = time.dwHighDateTime;
  return static_cast<std::int64_t>(ticks.QuadPart);
}

}  // namespace

std::int64_t Win32Clock::Now() {
  FILETIME now;
  ::GetSystemTimeAsFileTime(&now);
  return ToTicks(now) / kTicksPerSecond - kSecondsFrom1601To1970;
}

bool Win32Clock::ToLocal(std::int64_t seconds, LocalTime* out) {
  constexpr std::int64_t kLatest =
      std::numeric_limits<std::int64_t>::max() / kTicksPerSecond - kSecondsFrom1601To1970;
  if (seconds < -kSecondsFrom1601To1970 || seconds > kLatest) return false;
  ULARGE_INTEGER ticks;
  ticks.QuadPart =
      static_cast<ULONGLONG>(seconds + kSecondsFrom1601To1970) * kTicksPerSecond;
  FILETIME utcFile;
  utcFile.dwLowDateTime = ticks.LowPart;
  utcFile.dwHighDateTime = ticks.HighPart;
  SYSTEMTIME utc;
  SYSTEMTIME local;
  // The time zone's rules for that date, daylight saving included.
  if (!::FileTimeToSystemTime(&utcFile, &utc) ||
      !::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) {
    return false;
  }
  out->year = local.wYear;
  out->month = local.wMonth;
  out->day = local.wDay;
  out->hour = local.wHour;
  out->minute = local.wMinute;
  out->second = local.wSecond;
  return true;
}

void Win32Clock::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

}  // namespace lss
