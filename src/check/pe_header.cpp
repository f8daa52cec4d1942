#include "check/pe_header.h"

#include <algorithm>

#include "diag/text_format.h"

namespace lss {

namespace {

constexpr std::size_t kLfanewAt = 0x3C;
// The signature "PE\0\0", then IMAGE_FILE_HEADER, whose first field is Machine.
constexpr std::uint64_t kSignatureAndMachine = 4 + 2;

constexpr std::u16string_view kUnreadable = u"the file could not be read";
constexpr std::u16string_view kNoMz = u"not a program file (it does not start with MZ)";
constexpr std::u16string_view kTruncated =
    u"not a complete program file (it ends after %d bytes, inside its DOS header)";
constexpr std::u16string_view kOffsetPastEnd =
    u"not a complete program file (its PE header offset 0x%0lX points past the %d bytes read)";
constexpr std::u16string_view kNoPeSignature =
    u"not a program file (no PE signature at offset 0x%0lX)";
constexpr std::u16string_view kOtherMachine = u"machine type 0x%0lX";

std::uint32_t LittleEndian(std::string_view bytes, std::size_t at, std::size_t count) {
  std::uint32_t value = 0;
  for (std::size_t i = count; i-- > 0;) {
    value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  }
  return value;
}

std::int32_t Clamped(std::uint64_t value) {
  return static_cast<std::int32_t>(std::min<std::uint64_t>(value, 0x7FFFFFFF));
}

}  // namespace

PeHeader ParsePeHeader(std::string_view bytes) {
  PeHeader header;
  header.size = bytes.size();
  if (bytes.size() < 2 || bytes[0] != 'M' || bytes[1] != 'Z') {
    header.problem = PeHeader::Problem::kNoMz;
    return header;
  }
  if (bytes.size() < kLfanewAt + 4) {
    header.problem = PeHeader::Problem::kTruncated;
    return header;
  }
  header.offset = LittleEndian(bytes, kLfanewAt, 4);
  header.needed = std::uint64_t{header.offset} + kSignatureAndMachine;
  if (header.needed > bytes.size()) {
    header.problem = PeHeader::Problem::kOffsetPastEnd;
    return header;
  }
  if (bytes.substr(header.offset, 4) != std::string_view("PE\0\0", 4)) {
    header.problem = PeHeader::Problem::kNoPeSignature;
    return header;
  }
  header.problem = PeHeader::Problem::kNone;
  header.machine = static_cast<std::uint16_t>(LittleEndian(bytes, header.offset + 4, 2));
  return header;
}

PeHeader ReadPeHeader(CheckQueries& queries, std::u16string_view path) {
  std::optional<std::string> head = queries.ReadHead(path, kPeHeadBytes);
  if (!head) return PeHeader{};
  PeHeader header = ParsePeHeader(*head);
  // A short read is the whole file; only a full one may have more to read.
  if (header.problem == PeHeader::Problem::kOffsetPastEnd && head->size() == kPeHeadBytes &&
      header.needed <= kPeMostHeadBytes) {
    head = queries.ReadHead(path, static_cast<std::size_t>(header.needed));
    header = head ? ParsePeHeader(*head) : PeHeader{};
  }
  return header;
}

std::u16string PeMachineName(std::uint16_t machine) {
  switch (machine) {
    case pe_machine::kX64: return u"x64";
    case pe_machine::kX86: return u"x86";
    case pe_machine::kArm64: return u"ARM64";
    default: return FormatText(kOtherMachine, {std::uint32_t{machine}});
  }
}

std::u16string DescribePeHeader(const PeHeader& header) {
  using Problem = PeHeader::Problem;
  switch (header.problem) {
    case Problem::kNone: return PeMachineName(header.machine);
    case Problem::kUnreadable: return std::u16string(kUnreadable);
    case Problem::kNoMz: return std::u16string(kNoMz);
    case Problem::kTruncated: return FormatText(kTruncated, {Clamped(header.size)});
    case Problem::kOffsetPastEnd:
      return FormatText(kOffsetPastEnd, {header.offset, Clamped(header.size)});
    case Problem::kNoPeSignature: return FormatText(kNoPeSignature, {header.offset});
  }
  return std::u16string(kUnreadable);
}

}  // namespace lss
