#pragma once
// Conversions between the test program's wide text and the 8-bit texts it reads.
#include <string>
#include <string_view>

#include "harness/narrow.h"

namespace e2e {

std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);

}  // namespace e2e
