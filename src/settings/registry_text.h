#pragma once
// Registry string data is UTF-16LE, whatever the host's byte order.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lss {

// The first `chars` UTF-16LE code units of `data`, up to the first NUL.
inline std::u16string DecodeRegistryText(const std::uint8_t* data, std::size_t chars) {
  std::u16string text;
  for (std::size_t i = 0; i < chars; ++i) {
    const auto c = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
    if (c == u'\0') {
      break;
    }
    text.push_back(c);
  }
  return text;
}

// `text` up to its first NUL, then one NUL, as REG_SZ data.
inline std::vector<std::uint8_t> EncodeRegistryText(std::u16string_view text) {
  text = text.substr(0, text.find(u'\0'));
  std::vector<std::uint8_t> data;
  data.reserve((text.size() + 1) * 2);
  for (const char16_t c : text) {
    data.push_back(static_cast<std::uint8_t>(c));
    data.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  data.push_back(0);
  data.push_back(0);
  return data;
}

}  // namespace lss
