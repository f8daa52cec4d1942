#include "harness/local_time.h"

#include <windows.h>

#include <cstdio>

namespace e2e {
namespace {

constexpr std::int64_t kTicksPerSecond = 10'000'000;  // FILETIME counts 100 ns

std::optional<LocalSeconds> FromFields(int day, int month, int year2, int hour, int minute,
                                       int second) {
  SYSTEMTIME time{};
  time.wYear = static_cast<WORD>(2000 + year2);
  time.wMonth = static_cast<WORD>(month);
  time.wDay = static_cast<WORD>(day);
  time.wHour = static_cast<WORD>(hour);
  time.wMinute = static_cast<WORD>(minute);
  time.wSecond = static_cast<WORD>(second);
  FILETIME file;
  if (!::SystemTimeToFileTime(&time, &file)) return std::nullopt;
  ULARGE_INTEGER ticks;
  ticks.LowPart = file.dwLowDateTime;
  ticks.HighPart = file.dwHighDateTime;
  return static_cast<LocalSeconds>(ticks.QuadPart / kTicksPerSecond);
}

bool TwoDigits(std::string_view text, std::size_t at, int* value) {
  if (at + 2 > text.size()) return false;
  const char high = text[at];
  const char low = text[at + 1];
  if (high < '0' || high > '9' || low < '0' || low > '9') return false;
  *value = (high - '0') * 10 + (low - '0');
  return true;
}

}  // namespace

LocalSeconds LocalNow() {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  return *FromFields(now.wDay, now.wMonth, now.wYear - 2000, now.wHour, now.wMinute, now.wSecond);
}

void WaitForNextSecond() {
  const LocalSeconds start = LocalNow();
  while (LocalNow() == start) ::Sleep(5);
}

std::optional<LocalSeconds> ParseEntryStamp(std::string_view stamp) {
  // dd-mm-yy HH:MM:SS:
  if (stamp.size() != 18 || stamp[2] != '-' || stamp[5] != '-' || stamp[8] != ' ' ||
      stamp[11] != ':' || stamp[14] != ':' || stamp[17] != ':') {
    return std::nullopt;
  }
  int d, m, y, hh, mm, ss;
  if (!TwoDigits(stamp, 0, &d) || !TwoDigits(stamp, 3, &m) || !TwoDigits(stamp, 6, &y) ||
      !TwoDigits(stamp, 9, &hh) || !TwoDigits(stamp, 12, &mm) || !TwoDigits(stamp, 15, &ss)) {
    return std::nullopt;
  }
  return FromFields(d, m, y, hh, mm, ss);
}

std::optional<LocalSeconds> ParseFileStamp(std::string_view digits) {
  if (digits.size() != 12) return std::nullopt;
  int d, m, y, hh, mm, ss;
  if (!TwoDigits(digits, 0, &d) || !TwoDigits(digits, 2, &m) || !TwoDigits(digits, 4, &y) ||
      !TwoDigits(digits, 6, &hh) || !TwoDigits(digits, 8, &mm) || !TwoDigits(digits, 10, &ss)) {
    return std::nullopt;
  }
  return FromFields(d, m, y, hh, mm, ss);
}

std::wstring LogFileNameAt(LocalSeconds time) {
  ULARGE_INTEGER ticks;
  ticks.QuadPart = static_cast<ULONGLONG>(time) * kTicksPerSecond;
  FILETIME file;
  file.dwLowDateTime = ticks.LowPart;
  file.dwHighDateTime = ticks.HighPart;
  SYSTEMTIME fields;
  ::FileTimeToSystemTime(&file, &fields);
  wchar_t name[64];
  std::swprintf(name, 64, L"Scheduler%02u%02u%02u%02u%02u%02u.log", fields.wDay, fields.wMonth,
                fields.wYear % 100, fields.wHour, fields.wMinute, fields.wSecond);
  return name;
}

}  // namespace e2e
