#pragma once
// What a program file's PE header says about the processor it was built for,
// and whether its load configuration marks it as hybrid Arm code. Only a few
// bounded reads are made, and nothing in them is trusted: a truncated or
// hostile file gives a problem, never a read out of bounds.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_system.h"

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
  // What the 64-bit load configuration of an x64 or ARM64 file says. Hybrid
  // code is what an x64 process can load from a file built for Arm: an
  // ARM64 header with it is Arm64X, an x64 header with it Arm64EC.
  enum class LoadConfig {
    kNotRead,      // not an x64 or ARM64 header
    kPlain,        // no CHPE metadata: none, a structure too short, or a zero pointer
    kHybrid,       // CHPEMetadataPointer is not zero
    kCutShort,     // the file ends inside the headers or the structure that holds it
    kOutsideFile,  // its address lies in none of the file's bytes
  };
  Problem problem = Problem::kUnreadable;
  std::uint16_t machine = 0;
  std::uint32_t offset = 0;  // e_lfanew, once it could be read
  std::uint64_t size = 0;    // how many bytes were looked at
  // For kOffsetPastEnd: how many bytes from the start would hold the header.
  std::uint64_t needed = 0;
  LoadConfig loadConfig = LoadConfig::kNotRead;
};

// Reads the header from the first bytes of a file; leaves the load
// configuration unread.
PeHeader ParsePeHeader(std::string_view bytes);

// The first kPeHeadBytes of a file hold the header of any program a linker
// writes; a header further on is read only up to kPeMostHeadBytes. The
// section table, which maps the load configuration's address to the file, is
// read only within the first kPeMostTableBytes.
inline constexpr std::size_t kPeHeadBytes = 512;
inline constexpr std::size_t kPeMostHeadBytes = 4096;
inline constexpr std::size_t kPeMostTableBytes = 0x10000;

// At most `maxBytes` of a file from `offset`: fewer at its end, nothing when
// it cannot be read.
using PeFileReader =
    std::function<std::optional<std::string>(std::uint64_t offset, std::size_t maxBytes)>;

// The PE header of a file read through `read`: its first kPeHeadBytes, and
// more (up to kPeMostHeadBytes) when e_lfanew points further. kOffsetPastEnd
// when the header lies beyond the file's end or beyond kPeMostHeadBytes. For
// an x64 or ARM64 header, its load configuration too.
PeHeader ReadPeFile(const PeFileReader& read);
// The same for the file at `path`.
PeHeader ReadPeHeader(FileSystem& files, std::u16string_view path);

// "x64", "x86", "ARM64", or "machine type 0x1C4".
std::u16string PeMachineName(std::uint16_t machine);
// What an x64 process sees in a program file: "Arm64X" for ARM64 and
// "Arm64EC" for x64 with hybrid code, otherwise its machine's name.
std::u16string PeArchitectureName(const PeHeader& header);
// What was found, for a finding: the architecture's name, or why the file is
// not a program file, e.g. "not a program file (it does not start with MZ)".
// An ARM64 file whose load configuration cannot be read says so.
std::u16string DescribePeHeader(const PeHeader& header);

}  // namespace lss
