#pragma once
// A strict reader of one JSON text (RFC 8259), for checking what a program
// prints for other tools.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace e2e {

struct JsonValue {
  enum class Kind { kNull, kBool, kNumber, kString, kArray, kObject };
  Kind kind = Kind::kNull;
  bool boolean = false;
  double number = 0;
  std::string text;  // a string's value, as UTF-8
  std::vector<JsonValue> items;
  std::vector<std::pair<std::string, JsonValue>> members;  // in their order

  // The member named `name`; throws std::runtime_error when there is none.
  const JsonValue& operator[](std::string_view name) const;
};

// Throws std::runtime_error, naming the offset, for anything that is not
// exactly one JSON value with optional white space around it: also for
// invalid UTF-8, raw control characters in strings and bad escapes.
JsonValue ParseJson(std::string_view text);

}  // namespace e2e
