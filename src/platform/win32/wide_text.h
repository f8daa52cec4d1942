#pragma once
// UTF-16 text between the core (char16_t) and Win32 (wchar_t, 16 bits on Windows).
#include <string>
#include <string_view>

namespace lss {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 wide characters are UTF-16 code units");

// A NUL-terminated copy for a Win32 call; a view may hold no terminator.
inline std::wstring ToWide(std::u16string_view text) {
  return std::wstring(text.begin(), text.end());
}

inline std::u16string FromWide(const wchar_t* text, std::size_t length) {
  return std::u16string(text, text + length);
}

inline std::u16string FromWide(const wchar_t* text) {
  return FromWide(text, std::char_traits<wchar_t>::length(text));
}

}  // namespace lss
