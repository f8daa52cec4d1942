#include "harness/olsim_journal.h"

#include <windows.h>

#include <algorithm>
#include <stdexcept>

#include "harness/scratch_files.h"
#include "harness/text.h"

namespace e2e {
namespace {

std::string Unescape(std::string_view value, std::string_view line) {
  constexpr std::string_view kEscapes = "\\\\t\tr\rn\n";  // each letter, then its character
  std::string text;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\') {
      text.push_back(value[i]);
      continue;
    }
    const std::size_t at = ++i < value.size() ? kEscapes.find(value[i]) : std::string_view::npos;
    if (at == std::string_view::npos || at % 2 != 0) {
      throw std::runtime_error("a bad escape in journal line: " + std::string(line));
    }
    text.push_back(kEscapes[at + 1]);
  }
  return text;
}

JournalEvent ParseLine(std::string_view line) {
  const std::vector<std::string_view> parts = Split(line, "\t");
  if (parts.size() < 3 || parts[0].empty()) {
    throw std::runtime_error("journal line without time, who and event: " + std::string(line));
  }
  JournalEvent event;
  for (const char digit : parts[0]) {
    if (digit < '0' || digit > '9')
      throw std::runtime_error("journal time is not a number: " + std::string(line));
    event.time = event.time * 10 + (digit - '0');
  }
  event.who = std::string(parts[1]);
  event.event = std::string(parts[2]);
  for (std::size_t i = 3; i < parts.size(); ++i) {
    const std::size_t equals = parts[i].find('=');
    if (equals == std::string_view::npos) {
      throw std::runtime_error("journal field without '=': " + std::string(line));
    }
    event.fields.emplace_back(std::string(parts[i].substr(0, equals)),
                              Unescape(parts[i].substr(equals + 1), line));
  }
  return event;
}

}  // namespace

std::string JournalEvent::Field(std::string_view key) const {
  for (const auto& [name, value] : fields) {
    if (name == key) return value;
  }
  return "<no " + std::string(key) + ">";
}

std::string JournalEvent::Describe() const {
  std::string text = event;
  for (const auto& [name, value] : fields) text += " " + name + "=" + value;
  return text;
}

void PrintTo(const JournalEvent& event, std::ostream* out) {
  *out << event.time << " " << event.who << " " << event.Describe();
}

std::vector<JournalEvent> ReadJournal(std::wstring_view path) {
  if (!PathExists(path)) return {};
  const std::string bytes = ReadFileBytes(path);
  std::vector<std::string_view> lines = Split(bytes, "\n");
  lines.pop_back();  // empty after the last LF, or a line still being written
  std::vector<JournalEvent> events;
  for (std::string_view line : lines) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    events.push_back(ParseLine(line));
  }
  return events;
}

std::vector<std::string> Describe(const std::vector<JournalEvent>& journal, std::string_view who) {
  std::vector<std::string> lines;
  for (const JournalEvent& event : journal) {
    if (event.who == who) lines.push_back(event.Describe());
  }
  return lines;
}

const JournalEvent& FindEvent(const std::vector<JournalEvent>& journal, std::string_view who,
                              std::string_view event) {
  for (const JournalEvent& entry : journal) {
    if (entry.who == who && entry.event == event) return entry;
  }
  throw std::runtime_error("the journal has no event " + std::string(who) + " " +
                           std::string(event));
}

bool HasEvent(const std::vector<JournalEvent>& journal, std::string_view who,
              std::string_view event) {
  return std::any_of(journal.begin(), journal.end(), [&](const JournalEvent& entry) {
    return entry.who == who && entry.event == event;
  });
}

std::vector<JournalEvent> WaitForEvent(std::wstring_view path, std::string_view who,
                                       std::string_view event, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    std::vector<JournalEvent> journal = ReadJournal(path);
    if (HasEvent(journal, who, event) || std::chrono::steady_clock::now() >= deadline) {
      return journal;
    }
    ::Sleep(100);
  }
}

}  // namespace e2e
