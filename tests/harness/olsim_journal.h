#pragma once
// The stand-ins' journal: one UTF-8 line per event,
// "<time>\t<who>\t<event>[\t<key>=<value>]...", values escaped (\\ \t \r \n).
#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace e2e {

struct JournalEvent {
  std::int64_t time = 0;  // 100-ns units of system time
  std::string who;        // "outlook" or "mapi"
  std::string event;
  std::vector<std::pair<std::string, std::string>> fields;  // unescaped, in order

  // The field's value; "<no KEY>" when the event has none.
  std::string Field(std::string_view key) const;
  // "event key=value key=value", for comparing whole events in one line.
  std::string Describe() const;
};

// For GoogleTest's failure messages.
void PrintTo(const JournalEvent& event, std::ostream* out);

// Events in the order of the file. A missing file is an empty journal; a line
// that does not parse throws std::runtime_error.
std::vector<JournalEvent> ReadJournal(std::wstring_view path);

// The events of `who`, each as Describe() gives it.
std::vector<std::string> Describe(const std::vector<JournalEvent>& journal, std::string_view who);
// The first event `who`/`event`; throws when there is none.
const JournalEvent& FindEvent(const std::vector<JournalEvent>& journal, std::string_view who,
                              std::string_view event);
bool HasEvent(const std::vector<JournalEvent>& journal, std::string_view who,
              std::string_view event);

// Reads the journal until it holds `who`/`event` or `limit` has passed; returns
// the last reading either way.
std::vector<JournalEvent> WaitForEvent(std::wstring_view path, std::string_view who,
                                       std::string_view event, std::chrono::milliseconds limit);

}  // namespace e2e
