#pragma once
// Text conversions for the journal.
#include <cstdint>
#include <string>
#include <string_view>

namespace olsim {

std::string ToUtf8(std::wstring_view text);
// Text in the process's ANSI code page, as MAPI passes it without MAPI_UNICODE.
std::string AnsiToUtf8(std::string_view text);

// Backslash, TAB, CR and LF written as \\, \t, \r, \n so a value stays on its line.
std::string EscapeValue(std::string_view value);

// "0x" and eight lower-case hex digits.
std::string Hex32(std::uint32_t value);

}  // namespace olsim
