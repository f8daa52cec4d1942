#include "diag/text_format.h"

#include <type_traits>

namespace lss {

namespace {

constexpr std::u16string_view kNullText = u"(null)";
constexpr char16_t kHexLower[] = u"0123456789abcdef";
constexpr char16_t kHexUpper[] = u"0123456789ABCDEF";

void AppendHex(std::u16string& out, std::uint32_t value, const char16_t* digits, int minDigits) {
  char16_t buffer[8];
  int count = 0;
  do {
    buffer[count++] = digits[value & 0xF];
    value >>= 4;
  } while (value != 0);
  for (int pad = count; pad < minDigits; ++pad) out.push_back(u'0');
  while (count > 0) out.push_back(buffer[--count]);
}

// Numbers are shown as the conversion asks, whichever way they were passed:
// a negative HRESULT prints as its 32-bit pattern under %08lx, as printf would.
std::uint32_t AsUnsigned(const FormatArg& arg) {
  if (const auto* value = std::get_if<std::int32_t>(&arg)) {
    return static_cast<std::uint32_t>(*value);
  }
  return std::get<std::uint32_t>(arg);
}

std::int32_t AsSigned(const FormatArg& arg) {
  if (const auto* value = std::get_if<std::uint32_t>(&arg)) {
    return static_cast<std::int32_t>(*value);
  }
  return std::get<std::int32_t>(arg);
}

bool IsNumber(const FormatArg& arg) {
  return !std::holds_alternative<std::optional<std::u16string_view>>(arg);
}

}  // namespace

std::u16string ToDecimal(std::int32_t value) {
  // Through 64 bits so that the most negative value has a magnitude.
  std::int64_t wide = value;
  const bool negative = wide < 0;
  if (negative) wide = -wide;
  char16_t buffer[11];
  int count = 0;
  do {
    buffer[count++] = static_cast<char16_t>(u'0' + wide % 10);
    wide /= 10;
  } while (wide != 0);
  std::u16string out;
  if (negative) out.push_back(u'-');
  while (count > 0) out.push_back(buffer[--count]);
  return out;
}

std::u16string FormatText(std::u16string_view pattern, std::initializer_list<FormatArg> args) {
  static constexpr std::u16string_view kString = u"%s";
  static constexpr std::u16string_view kDecimal = u"%d";
  static constexpr std::u16string_view kHexPadded = u"%08lx";
  static constexpr std::u16string_view kHexUpperShort = u"%0lX";
  static constexpr std::u16string_view kPercent = u"%%";

  std::u16string out;
  out.reserve(pattern.size());
  auto next = args.begin();
  std::size_t pos = 0;
  while (pos < pattern.size()) {
    const std::u16string_view rest = pattern.substr(pos);
    if (rest.front() != u'%') {
      out.push_back(rest.front());
      ++pos;
      continue;
    }
    if (rest.starts_with(kPercent)) {
      out.push_back(u'%');
      pos += kPercent.size();
      continue;
    }
    std::u16string_view conversion;
    for (auto candidate : {kString, kDecimal, kHexPadded, kHexUpperShort}) {
      if (rest.starts_with(candidate)) conversion = candidate;
    }
    // A conversion without a fitting argument is copied as it stands.
    const bool usable =
        !conversion.empty() && next != args.end() && (conversion == kString || IsNumber(*next));
    if (!usable) {
      out.push_back(u'%');
      ++pos;
      continue;
    }
    const FormatArg& arg = *next++;
    pos += conversion.size();
    if (conversion == kString) {
      if (IsNumber(arg)) {
        out += ToDecimal(AsSigned(arg));
      } else {
        const auto& text = std::get<std::optional<std::u16string_view>>(arg);
        out += text ? *text : kNullText;
      }
    } else if (conversion == kDecimal) {
      out += ToDecimal(AsSigned(arg));
    } else if (conversion == kHexPadded) {
      AppendHex(out, AsUnsigned(arg), kHexLower, 8);
    } else {
      AppendHex(out, AsUnsigned(arg), kHexUpper, 1);
    }
  }
  return out;
}

}  // namespace lss
