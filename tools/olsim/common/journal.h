#pragma once
// The journal both olsim parts append to: one UTF-8 line per event,
// "<time>\t<who>\t<event>[\t<key>=<value>]...".
#include <initializer_list>
#include <string>
#include <string_view>

namespace olsim {

struct JournalField {
  std::string_view key;
  std::string value;  // UTF-8, escaped when written
};

class Journal {
 public:
  // An empty path: every Write does nothing.
  Journal(std::wstring path, std::string who);

  // Appends one line stamped with the current system time in 100-ns units.
  // The line goes out in one append-mode write under an exclusive file lock,
  // so two processes never interleave or overwrite each other; a journal that
  // cannot be opened is skipped silently.
  void Write(std::string_view event, std::initializer_list<JournalField> fields = {}) const;

 private:
  std::wstring path_;
  std::string who_;
};

}  // namespace olsim
