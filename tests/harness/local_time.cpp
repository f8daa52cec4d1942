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

// Day, month, year, hour, minute and second as two digits each, at `at` in
// `text`, which must be `length` long.
std::optional<LocalSeconds> ParseFields(std::string_view text, std::size_t length,
                                        const std::size_t (&at)[6]) {
  if (text.size() != length) return std::nullopt;
  int fields[6];
  for (int i = 0; i < 6; ++i) {
    const char high = text[at[i]];
    const char low = text[at[i] + 1];
    if (high < '0' || high > '9' || low < '0' || low > '9') return std::nullopt;
    fields[i] = (high - '0') * 10 + (low - '0');
  }
  return FromFields(fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]);
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
  return ParseFields(stamp, 18, {0, 3, 6, 9, 12, 15});
}

std::optional<LocalSeconds> ParseFileStamp(std::string_view digits) {
  return ParseFields(digits, 12, {0, 2, 4, 6, 8, 10});
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
