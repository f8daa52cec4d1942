#pragma once
// What the unit tables share: the run log's entries as text, the text of a
// framework exception and UTF-16 registry data (rows are named and printed by
// common/rows.h).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/narrow.h"
#include "common/rows.h"
#include "diag/exceptions.h"

namespace lss::test {

// The entries of a run log's bytes, each without its line break and stamp.
inline std::vector<std::string> EntriesOf(std::string_view bytes) {
  constexpr std::size_t kStamped = 2 + 19;  // CR LF, then "06-12-26 16:45:09: "
  std::vector<std::string> entries;
  for (std::size_t at = 0; (at = bytes.find("\r\n", at)) != std::string_view::npos; at += 2) {
    const std::size_t next = bytes.find("\r\n", at + 2);
    entries.emplace_back(
        bytes.substr(at + kStamped, next == bytes.npos ? next : next - at - kStamped));
  }
  return entries;
}

// The texts one after another, each followed by `separator`: a list a row
// holds in one text.
template <typename Text>
Text Joined(const std::vector<Text>& texts, typename Text::value_type separator = '|') {
  Text all;
  for (const Text& text : texts) all += text + separator;
  return all;
}

// What an exception says, as the framework's callers read it.
inline std::string MessageOf(const CException& exception, SystemMessages& messages) {
  char16_t text[512] = {};
  exception.GetErrorMessage(text, 511, messages);
  return Narrow(std::u16string_view(text));
}

// `text` as UTF-16LE registry data, with its NUL unless `terminated` is false.
inline std::vector<std::uint8_t> Utf16(std::u16string_view text, bool terminated = true) {
  std::vector<std::uint8_t> bytes;
  for (const char16_t c : text) {
    bytes.push_back(static_cast<std::uint8_t>(c));
    bytes.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  if (terminated) bytes.insert(bytes.end(), {0, 0});
  return bytes;
}

}  // namespace lss::test
