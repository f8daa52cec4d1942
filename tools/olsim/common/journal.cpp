#include "common/journal.h"

#include <windows.h>

#include <utility>

#include "common/handles.h"
#include "common/text.h"

namespace olsim {
namespace {

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

  // FILE_APPEND_DATA alone makes every write land at the current end of file.
  HANDLE raw = CreateFileW(path_.c_str(), FILE_APPEND_DATA,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (raw == INVALID_HANDLE_VALUE) return;
  const UniqueHandle file(raw);
  DWORD written = 0;
  WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

}  // namespace olsim
