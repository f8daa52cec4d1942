#pragma once
// printf-style formatting of UTF-16 texts, for the program's fixed message
// patterns. Supported conversions: %s (a text, or "(null)" when absent),
// %d (signed 32-bit decimal), %08lx (eight lower-case hex digits),
// %0lX (upper-case hex without leading zeros), %% (a percent sign).
// Anything else is copied as it stands.
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace lss {

using FormatArg = std::variant<std::optional<std::u16string_view>, std::int32_t, std::uint32_t>;

std::u16string FormatText(std::u16string_view pattern, std::initializer_list<FormatArg> args);

// ASCII/Latin-1 helpers for building texts from numbers.
std::u16string ToDecimal(std::int32_t value);

}  // namespace lss
