#include "common/journal.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <utility>

#include "platform/win32/wide_text.h"
#include "platform/win32/win32_file_system.h"
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

  // Both processes append at once; the program's own log file does that
  // safely under Wine too, so the journal goes through it.
  lss::Win32FileSystem files;
  if (const std::unique_ptr<lss::File> file = files.Create(lss::FromWide(path_.c_str()))) {
    file->Append(reinterpret_cast<const std::uint8_t*>(line.data()), line.size());
  }
}

}  // namespace olsim
