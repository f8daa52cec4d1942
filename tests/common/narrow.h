#pragma once
// Wide text as a printable 8-bit string, for labels and journal lines, and
// UTF-16 text as a wide string for matchers: the native fakes and the Wine
// suites alike. Header-only and portable, so the fakes need nothing of the
// Wine harness.
#include <string>
#include <string_view>

namespace lss::test {

// Only for ASCII texts: any other character becomes '?'.
template <typename Char>
std::string NarrowText(std::basic_string_view<Char> text) {
  std::string out;
  out.reserve(text.size());
  for (const Char c : text) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  return out;
}
inline std::string Narrow(std::wstring_view text) { return NarrowText(text); }
inline std::string Narrow(std::u16string_view text) { return NarrowText(text); }

// UTF-16 text unit for unit as a wide string, whatever the width of wchar_t:
// what gmock's string matchers (HasSubstr) take, and print readably.
inline std::wstring Wide(std::u16string_view text) { return {text.begin(), text.end()}; }

}  // namespace lss::test
