#include "common/journal.h"

#include <windows.h>

#include <utility>

#include "common/text.h"
#include "handles/win32_handles.h"

namespace olsim {
namespace {

// Both processes append to the journal at once. Wine moves to the end of the
// file and writes in two steps, so two appends could land on the same place;
// each writer therefore holds an exclusive lock on one byte far past any
// journal's end while it writes.
constexpr DWORD kTurnByteHigh = 0x40000000;

void AppendLine(const std::wstring& path, const std::string& line) {
  const lss::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ | FILE_APPEND_DATA,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  OVERLAPPED turn{};
  turn.OffsetHigh = kTurnByteHigh;
  const bool locked = LockFileEx(file.get(), LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &turn) != FALSE;
  DWORD written = 0;
  WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  if (locked) UnlockFileEx(file.get(), 0, 1, 0, &turn);
}

unsigned long long PreciseSystemTime() {
  FILETIME now{};
  GetSystemTimePreciseAsFileTime(&now);
  return (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

}  // namespace

Journal::Journal(std::wstring path, std::string who)
    : path_(std::move(path)), who_(std::move(who)) {}

void Journal::Write(std::string_view event, std::initializer_list<JournalField> fields) const {
  if (path_.empty()) return;
  std::string line = std::to_string(PreciseSystemTime());
  line += '\t';
  line += who_;
  line += '\t';
  line += event;
  for (const JournalField& field : fields) {
    line += '\t';
    line += field.key;
    line += '=';
    line += EscapeValue(field.value);
  }
  line += '\n';

  AppendLine(path_, line);
}

}  // namespace olsim
