#pragma once
// Wide text as a printable 8-bit string, for labels and journal lines: the
// Wine suites and the native fakes alike. Header-only and portable.
#include <string>
#include <string_view>

namespace e2e {

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

}  // namespace e2e
