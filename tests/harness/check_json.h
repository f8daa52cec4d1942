#pragma once
// LSSchedulerCheck's --json report as the tests read it. Parsed in one file,
// so that the JSON library is compiled once rather than into every suite.
#include <cstdint>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace e2e {

// One element of "checks".
struct CheckJsonEntry {
  std::string id;
  std::string status;
  std::string message;
  std::map<std::string, std::string> details;

  // The detail's text; "" when there is none.
  std::string Detail(const std::string& name) const;
  bool operator==(const CheckJsonEntry&) const = default;
};

struct CheckJson {
  std::int64_t schema = -1;
  std::string verdict;
  std::int64_t exitCode = -1;
  std::vector<CheckJsonEntry> checks;  // in the order written
  // Every other member (tool, version, computer, user, checkedAt,
  // nativeMachine, schedulerVersion): a text as written, null as nullopt.
  std::map<std::string, std::optional<std::string>> facts;

  // The last of `checks`; throws std::out_of_range when there are none.
  const CheckJsonEntry& LastCheck() const;
  bool operator==(const CheckJson&) const = default;
};

// Parses `text` as one JSON object in valid UTF-8 with nothing after it,
// holding the fields the README documents with their types: tool, version
// and verdict texts, schema and exitCode integers, checks each with id,
// status and message texts and details of texts only; the other members texts
// or null. Returns what it read; `problem` is empty for such a report and
// says what is wrong with any other text.
CheckJson ParseCheckJson(std::string_view text, std::string& problem);

// For GoogleTest's failure messages.
void PrintTo(const CheckJsonEntry& check, std::ostream* out);
void PrintTo(const CheckJson& report, std::ostream* out);

}  // namespace e2e
