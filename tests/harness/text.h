#pragma once
// Conversions between the test program's wide text and the 8-bit texts it reads.
#include <string>
#include <string_view>
#include <vector>

#include "common/narrow.h"

namespace e2e {

using lss::test::Narrow;
using lss::test::NarrowText;

std::string ToUtf8(std::wstring_view text);

// The parts of `text` between the separators; one more part than separators.
std::vector<std::string_view> Split(std::string_view text, std::string_view separator);

}  // namespace e2e
