#pragma once
// What a program file's PE header says about the processor it was built for.
// Only the first bytes of the file are read, and nothing in them is trusted:
// a truncated or hostile file gives a problem, never a read out of bounds.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/check_queries.h"

namespace lss {

// IMAGE_FILE_MACHINE_* values of the machine types the checks name.
namespace pe_machine {
inline constexpr std::uint16_t kX86 = 0x014C;
inline constexpr std::uint16_t kX64 = 0x8664;
inline constexpr std::uint16_t kArm64 = 0xAA64;
}  // namespace pe_machine

struct PeHeader {
  enum class Problem {
    kNone,           // a PE header: `machine` holds its machine type
    kUnreadable,     // the file could not be read at all
    kNoMz,           // the file does not start with "MZ"
    kTruncated,      // the file ends inside its DOS header (`size` bytes)
    kOffsetPastEnd,  // e_lfanew (`offset`) points past the bytes there are
    kNoPeSignature,  // no "PE\0\0" where e_lfanew points (`offset`)
  };
  Problem problem = Problem::kUnreadable;
  std::uint16_t machine = 0;
  std::uint32_t offset = 0;  // e_lfanew, once it could be read
  std::uint64_t size = 0;    // how many bytes were looked at
  // For kOffsetPastEnd: how many bytes from the start would hold the header.
  std::uint64_t needed = 0;
};

// Reads the header from the first bytes of a file.
PeHeader ParsePeHeader(std::string_view bytes);

// The first kPeHeadBytes of a file hold the header of any program a linker
// writes; a header further on is read only up to kPeMostHeadBytes.
inline constexpr std::size_t kPeHeadBytes = 512;
inline constexpr std::size_t kPeMostHeadBytes = 4096;

// The PE header of the file at `path`: its first kPeHeadBytes, and more (up to
// kPeMostHeadBytes) when e_lfanew points further. kOffsetPastEnd when the
// header lies beyond the file's end or beyond kPeMostHeadBytes.
PeHeader ReadPeHeader(CheckQueries& queries, std::u16string_view path);

// "x64", "x86", "ARM64", or "machine type 0x1C4".
std::u16string PeMachineName(std::uint16_t machine);
// What was found, for a finding: the machine's name, or why the file is not
// a program file, e.g. "not a program file (it does not start with MZ)".
std::u16string DescribePeHeader(const PeHeader& header);

}  // namespace lss
