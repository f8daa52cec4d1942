#include "harness/local_time.h"

#include <windows.h>

#include <cstdio>

namespace e2e {
namespace {

constexpr ULONGLONG kTicksPerSecond = 10'000'000;  // FILETIME counts 100 ns

// Nothing when `time` is no valid date and time.
std::optional<LocalSeconds> Seconds(const SYSTEMTIME& time) {
  FILETIME file;
  if (!::SystemTimeToFileTime(&time, &file)) return std::nullopt;
  const ULONGLONG ticks = ULONGLONG{file.dwHighDateTime} << 32 | file.dwLowDateTime;
  return static_cast<LocalSeconds>(ticks / kTicksPerSecond);
}

}  // namespace

LocalSeconds LocalNow() {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  return *Seconds(now);
}

std::optional<LocalSeconds> ParseEntryStamp(std::string_view stamp) {
  // dd-mm-yy HH:MM:SS:
  if (stamp.size() != 18 || stamp[2] != '-' || stamp[5] != '-' || stamp[8] != ' ' ||
      stamp[11] != ':' || stamp[14] != ':' || stamp[17] != ':') {
    return std::nullopt;
  }
  std::string digits;
  for (std::size_t at = 0; at < 18; at += 3) digits += stamp.substr(at, 2);
  return ParseFileStamp(digits);
}

std::optional<LocalSeconds> ParseFileStamp(std::string_view digits) {
  // Day, month, year, hour, minute and second, two digits each.
  if (digits.size() != 12) return std::nullopt;
  WORD fields[6];
  for (std::size_t i = 0; i < 6; ++i) {
    const char high = digits[2 * i];
    const char low = digits[2 * i + 1];
    if (high < '0' || high > '9' || low < '0' || low > '9') return std::nullopt;
    fields[i] = static_cast<WORD>((high - '0') * 10 + (low - '0'));
  }
  const WORD year = static_cast<WORD>(2000 + fields[2]);
  return Seconds({year, fields[1], 0, fields[0], fields[3], fields[4], fields[5], 0});
}

std::wstring LogFileNameAt(LocalSeconds time) {
  const ULONGLONG ticks = static_cast<ULONGLONG>(time) * kTicksPerSecond;
  const FILETIME file{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  SYSTEMTIME fields;
  ::FileTimeToSystemTime(&file, &fields);
  wchar_t name[64];
  std::swprintf(name, 64, L"Scheduler%02u%02u%02u%02u%02u%02u.log", fields.wDay, fields.wMonth,
                fields.wYear % 100, fields.wHour, fields.wMinute, fields.wSecond);
  return name;
}

}  // namespace e2e
