#pragma once
// Conversions between the test program's wide text and the 8-bit texts it reads.
#include <string>
#include <string_view>

namespace e2e {

std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);
// Only for ASCII texts such as the test's own labels.
std::string Narrow(std::wstring_view ascii);

}  // namespace e2e
