#pragma once
// What every fuzz target shares: its entry point, and turning fuzz bytes into
// the program's inputs. Bytes are Latin-1 characters, which keeps seeds
// readable; a 0x00 byte takes the next two bytes as one UTF-16 code unit
// (little-endian), so any unit, lone surrogates included, can be reached.
// Included by the one source file of each target.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace lss::fuzz {

// Each target's property, checked on one input.
void TestOneInput(const std::uint8_t* data, std::size_t size);

inline std::u16string DecodeText(const std::uint8_t* data, std::size_t size) {
  std::u16string text;
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] != 0) {
      text.push_back(data[i]);
    } else if (i + 2 < size) {
      text.push_back(static_cast<char16_t>(data[i + 1] | data[i + 2] << 8));
      i += 2;
    }
  }
  return text;
}

// Four bytes, little-endian: codes and value types taken from the input.
inline std::uint32_t ReadUint32(const std::uint8_t* data) {
  return std::uint32_t{data[0]} | std::uint32_t{data[1]} << 8 | std::uint32_t{data[2]} << 16 |
         std::uint32_t{data[3]} << 24;
}

// The text cut at each '\n' into pieces (an empty input gives none).
inline std::vector<std::u16string> SplitLines(const std::u16string& text) {
  std::vector<std::u16string> lines;
  if (text.empty()) return lines;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find(u'\n', start);
    lines.push_back(text.substr(start, end - start));
    if (end == std::u16string::npos) return lines;
    start = end + 1;
  }
}

// The scheduler's flags, written apart from its own reading: '-' or '/', then
// a letter that counts in either case.
inline bool IsFlag(const std::u16string& argument) {
  return !argument.empty() && (argument[0] == u'-' || argument[0] == u'/');
}

// The flag's letter in lower case; '\0' for a bare '-' or '/'.
inline char16_t FlagLetter(const std::u16string& argument) {
  const char16_t c = argument.size() > 1 ? argument[1] : u'\0';
  return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
}

inline bool HasFlag(char16_t letter, const std::vector<std::u16string>& arguments) {
  for (const std::u16string& argument : arguments) {
    if (IsFlag(argument) && FlagLetter(argument) == letter) return true;
  }
  return false;
}

// Stops the run with the input saved, as any crash does.
inline void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "property broken: %s\n", what);
  std::abort();
}

}  // namespace lss::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  lss::fuzz::TestOneInput(data, size);
  return 0;
}
