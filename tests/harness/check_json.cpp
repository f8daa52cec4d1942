#include "harness/check_json.h"

#include <nlohmann/json.hpp>
#include <stdexcept>

namespace e2e {
namespace {

using Json = nlohmann::json;

// Collects what is wrong, each in a line of its own.
class Problems {
 public:
  void Add(const std::string& text) { text_ += (text_.empty() ? "" : "\n") + text; }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

// `object`'s member `name` as a text into `into`; a problem when it is
// missing or of another type.
void ReadText(const Json& object, const char* name, const std::string& where, std::string& into,
              Problems& problems) {
  const auto member = object.find(name);
  if (member == object.end() || !member->is_string()) {
    problems.Add(where + name + " is not a text");
    return;
  }
  into = member->get<std::string>();
}

void ReadInteger(const Json& object, const char* name, std::int64_t& into, Problems& problems) {
  const auto member = object.find(name);
  if (member == object.end() || !member->is_number_integer()) {
    problems.Add(std::string(name) + " is not an integer");
    return;
  }
  into = member->get<std::int64_t>();
}

CheckJsonEntry ReadCheck(const Json& check, std::size_t index, Problems& problems) {
  CheckJsonEntry entry;
  const std::string where = "checks[" + std::to_string(index) + "].";
  if (!check.is_object()) {
    problems.Add(where.substr(0, where.size() - 1) + " is not an object");
    return entry;
  }
  ReadText(check, "id", where, entry.id, problems);
  ReadText(check, "status", where, entry.status, problems);
  ReadText(check, "message", where, entry.message, problems);
  const auto details = check.find("details");
  if (details == check.end() || !details->is_object()) {
    problems.Add(where + "details is not an object");
  } else {
    for (const auto& [name, value] : details->items()) {
      if (value.is_string()) {
        entry.details[name] = value.get<std::string>();
      } else {
        problems.Add(where + "details." + name + " is not a text");
      }
    }
  }
  // A member the README does not document would go unseen by the tests.
  for (const auto& [name, value] : check.items()) {
    if (name != "id" && name != "status" && name != "message" && name != "details") {
      problems.Add(where + name + " is not a documented field");
    }
  }
  return entry;
}

}  // namespace

std::string CheckJsonEntry::Detail(const std::string& name) const {
  const auto detail = details.find(name);
  return detail == details.end() ? "" : detail->second;
}

const CheckJsonEntry& CheckJson::LastCheck() const {
  if (checks.empty()) throw std::out_of_range("the report has no checks");
  return checks.back();
}

CheckJson ParseCheckJson(std::string_view text, std::string& problem) {
  CheckJson report;
  Json json;
  try {
    json = Json::parse(text);
  } catch (const Json::parse_error& error) {
    problem = error.what();
    return report;
  }
  if (!json.is_object()) {
    problem = "not a JSON object";
    return report;
  }
  Problems problems;
  ReadInteger(json, "schema", report.schema, problems);
  ReadInteger(json, "exitCode", report.exitCode, problems);
  ReadText(json, "verdict", "", report.verdict, problems);
  const auto checks = json.find("checks");
  if (checks == json.end() || !checks->is_array()) {
    problems.Add("checks is not an array");
  } else {
    for (std::size_t i = 0; i < checks->size(); ++i) {
      report.checks.push_back(ReadCheck((*checks)[i], i, problems));
    }
  }
  for (const auto& [name, value] : json.items()) {
    if (name == "schema" || name == "exitCode" || name == "verdict" || name == "checks") continue;
    if (value.is_string()) {
      report.facts[name] = value.get<std::string>();
    } else if (value.is_null()) {
      report.facts[name] = std::nullopt;
    } else {
      problems.Add(name + " is neither a text nor null");
    }
  }
  for (const char* name : {"tool", "version"}) {
    const auto fact = report.facts.find(name);
    if (fact == report.facts.end() || !fact->second)
      problems.Add(std::string(name) + " is not a text");
  }
  problem = problems.text();
  return report;
}

void PrintTo(const CheckJsonEntry& check, std::ostream* out) {
  *out << "{id " << check.id << ", status " << check.status << ", message \"" << check.message
       << "\", details {";
  const char* separator = "";
  for (const auto& [name, value] : check.details) {
    *out << separator << name << " \"" << value << "\"";
    separator = ", ";
  }
  *out << "}}";
}

void PrintTo(const CheckJson& report, std::ostream* out) {
  *out << "{schema " << report.schema << ", verdict " << report.verdict << ", exitCode "
       << report.exitCode;
  for (const auto& [name, value] : report.facts) {
    *out << ", " << name << " " << (value ? "\"" + *value + "\"" : std::string("null"));
  }
  *out << ", checks [";
  const char* separator = "";
  for (const CheckJsonEntry& check : report.checks) {
    *out << separator;
    PrintTo(check, out);
    separator = ", ";
  }
  *out << "]}";
}

}  // namespace e2e
