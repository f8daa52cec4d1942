#include "check/reg_export.h"

#include <cstdint>
#include <optional>
#include <utility>

#include "check/check_context.h"
#include "diag/run_log.h"
#include "diag/text_encoding.h"
#include "diag/text_format.h"

namespace lss {

namespace {

// A settings tree is a handful of keys; links could make it endless.
constexpr std::size_t kMostKeys = 10000;
// `reg export` breaks hex data before a line grows past 80 characters.
constexpr std::size_t kHexLineWidth = 76;

constexpr std::u16string_view kCurrentUserRoot = u"HKEY_CURRENT_USER";
constexpr std::u16string_view kRegHeader = u"Windows Registry Editor Version 5.00\r\n\r\n";

constexpr std::u16string_view kKeyUnreadable =
    u"settings.reg lacks %s: the key cannot be read (%s).";
constexpr std::u16string_view kTooManyKeys =
    u"settings.reg holds the first 10000 keys under %s only.";

std::u16string Quoted(std::u16string_view text) {
  std::u16string out(1, u'"');
  for (const char16_t c : text) {
    if (c == u'\\' || c == u'"') out += u'\\';
    out += c;
  }
  return out + u'"';
}

// The text of REG_SZ data that `reg import` stores back as the same bytes:
// one terminating NUL, none before it, no line break.
std::optional<std::u16string> RoundTripText(const std::vector<std::uint8_t>& data) {
  if (data.size() < 2 || data.size() % 2 != 0) return std::nullopt;
  std::u16string text;
  for (std::size_t i = 0; i + 2 < data.size(); i += 2) {
    const auto unit = static_cast<char16_t>(data[i] | data[i + 1] << 8);
    if (unit == 0 || unit == u'\r' || unit == u'\n') return std::nullopt;
    text += unit;
  }
  if (data[data.size() - 2] != 0 || data[data.size() - 1] != 0) return std::nullopt;
  return text;
}

std::u16string HexDigits(std::uint32_t value, std::size_t width) {
  constexpr char16_t kHex[] = u"0123456789abcdef";
  std::u16string digits;
  do {
    digits.insert(digits.begin(), kHex[value & 0xF]);
    value >>= 4;
  } while (value != 0);
  if (digits.size() < width) digits.insert(0, width - digits.size(), u'0');
  return digits;
}

// "hex(2):41,00,..." with the line breaks of `reg export`; `line` is the
// line so far ("name"=).
void AppendHex(std::u16string& line, std::uint32_t type, const std::vector<std::uint8_t>& data) {
  line += type == reg::kBinary ? std::u16string(u"hex:") : u"hex(" + HexDigits(type, 1) + u"):";
  std::size_t column = line.size() - (line.rfind(u'\n') + 1);
  for (std::size_t i = 0; i < data.size(); ++i) {
    line += HexDigits(data[i], 2);
    if (i + 1 == data.size()) break;
    line += u',';
    column += 3;
    if (column > kHexLineWidth) {
      line += u"\\\r\n  ";
      column = 2;
    }
  }
}

std::u16string ValueLine(const ListedValue& value) {
  std::u16string line = value.name.empty() ? std::u16string(u"@") : Quoted(value.name);
  line += u'=';
  if (value.type == reg::kSz) {
    if (const std::optional<std::u16string> text = RoundTripText(value.data)) {
      return line + Quoted(*text);
    }
  }
  if (value.type == reg::kDword && value.data.size() == 4) {
    const std::uint32_t number = std::uint32_t{value.data[0]} | std::uint32_t{value.data[1]} << 8 |
                                 std::uint32_t{value.data[2]} << 16 |
                                 std::uint32_t{value.data[3]} << 24;
    return line + u"dword:" + HexDigits(number, 8);
  }
  AppendHex(line, value.type, value.data);
  return line;
}

}  // namespace

std::string FormatRegExport(const std::vector<RegistryKeyDump>& keys) {
  std::u16string text(kRegHeader);
  for (const RegistryKeyDump& key : keys) {
    text += u"[" + key.path + u"]\r\n";
    for (const ListedValue& value : key.values) text += ValueLine(value) + u"\r\n";
    text += u"\r\n";
  }
  return Utf16LeWithBom(text);
}

std::vector<RegistryKeyDump> ReadUserTree(Registry& registry, SystemMessages& messages,
                                          std::u16string_view key,
                                          std::vector<std::u16string>* notes) {
  std::vector<RegistryKeyDump> keys;
  std::vector<std::u16string> pending{std::u16string(key)};
  while (!pending.empty()) {
    if (keys.size() == kMostKeys) {
      notes->push_back(FormatText(kTooManyKeys, {key}));
      break;
    }
    const std::u16string path = std::move(pending.back());
    pending.pop_back();
    KeyListing read;
    const Status status =
        ListKey(registry, kCurrentUser, path, reg::kKeyRead | reg::kWow64_64Key, &read);
    const std::u16string fullPath = JoinPath(kCurrentUserRoot, path);
    if (status == win32_error::kFileNotFound && keys.empty()) break;  // no settings at all
    if (status != 0) {
      notes->push_back(FormatText(kKeyUnreadable, {fullPath, WindowsErrorText(messages, status)}));
      continue;
    }
    keys.push_back({fullPath, std::move(read.values)});
    for (auto subkey = read.subkeys.rbegin(); subkey != read.subkeys.rend(); ++subkey) {
      pending.push_back(JoinPath(path, *subkey));
    }
  }
  return keys;
}

}  // namespace lss
