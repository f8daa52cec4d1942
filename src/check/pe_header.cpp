#include "check/pe_header.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "diag/text_format.h"

namespace lss {

namespace {

constexpr std::size_t kLfanewAt = 0x3C;
// The signature "PE\0\0", then IMAGE_FILE_HEADER, whose first field is Machine.
constexpr std::uint64_t kSignatureAndMachine = 4 + 2;
// From the signature: IMAGE_FILE_HEADER's NumberOfSections and
// SizeOfOptionalHeader, and the optional header after it.
constexpr std::uint64_t kSectionCountAt = 4 + 2;
constexpr std::uint64_t kOptionalSizeAt = 4 + 16;
constexpr std::uint64_t kOptionalHeaderAt = 4 + 20;
// In IMAGE_OPTIONAL_HEADER64: its magic, SizeOfHeaders, NumberOfRvaAndSizes
// and the data directory IMAGE_DIRECTORY_ENTRY_LOAD_CONFIG (address, size).
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
constexpr std::uint64_t kHeadersSizeAt = 60;
constexpr std::uint64_t kDirectoryCountAt = 108;
constexpr std::uint32_t kLoadConfigEntry = 10;
constexpr std::uint64_t kLoadConfigDirectoryAt = 112 + 8 * kLoadConfigEntry;
// IMAGE_SECTION_HEADER: its size, VirtualAddress, SizeOfRawData and
// PointerToRawData.
constexpr std::uint64_t kSectionSize = 40;
constexpr std::uint64_t kSectionAddressAt = 12;
constexpr std::uint64_t kSectionRawSizeAt = 16;
constexpr std::uint64_t kSectionRawAt = 20;
// IMAGE_LOAD_CONFIG_DIRECTORY64 starts with its own Size; CHPEMetadataPointer
// is at 200, past the end of the older structure MinGW's winnt.h has.
constexpr std::uint64_t kChpeMetadataAt = 200;
constexpr std::size_t kLoadConfigBytes = kChpeMetadataAt + 8;

constexpr std::u16string_view kUnreadable = u"the file could not be read";
constexpr std::u16string_view kNoMz = u"not a program file (it does not start with MZ)";
constexpr std::u16string_view kTruncated =
    u"not a complete program file (it ends after %d bytes, inside its DOS header)";
constexpr std::u16string_view kOffsetPastEnd =
    u"not a complete program file (its PE header offset 0x%0lX points past the %d bytes read)";
constexpr std::u16string_view kNoPeSignature =
    u"not a program file (no PE signature at offset 0x%0lX)";
constexpr std::u16string_view kOtherMachine = u"machine type 0x%0lX";
constexpr std::u16string_view kLoadConfigCutShort = u"%s (its load configuration is cut short)";
constexpr std::u16string_view kLoadConfigOutside =
    u"%s (its load configuration lies outside the file)";

std::uint32_t LittleEndian(std::string_view bytes, std::uint64_t at, std::size_t count) {
  std::uint32_t value = 0;
  for (std::size_t i = count; i-- > 0;) {
    value = value << 8 | static_cast<unsigned char>(bytes[static_cast<std::size_t>(at) + i]);
  }
  return value;
}

// The file offset of the load configuration at `address`, through the
// section table at `table`; nothing when no section's bytes in the file hold
// it. The headers map to the file as they are.
std::optional<std::uint64_t> FileOffsetOf(std::string_view head, std::uint64_t table,
                                          std::uint32_t sections, std::uint32_t address,
                                          std::uint32_t headersSize) {
  for (std::uint32_t i = 0; i < sections; ++i) {
    const std::uint64_t section = table + kSectionSize * i;
    const std::uint32_t start = LittleEndian(head, section + kSectionAddressAt, 4);
    const std::uint32_t rawSize = LittleEndian(head, section + kSectionRawSizeAt, 4);
    if (address >= start && address - start < rawSize) {
      return std::uint64_t{LittleEndian(head, section + kSectionRawAt, 4)} + (address - start);
    }
  }
  if (address < headersSize) return address;
  return std::nullopt;
}

// Reads as far as the load configuration of the x64 or ARM64 file whose
// first bytes are `head` and whose PE signature is at `pe`.
PeHeader::LoadConfig ReadLoadConfig(const PeFileReader& read, std::string head, std::uint64_t pe) {
  using LoadConfig = PeHeader::LoadConfig;
  // Whether the first `end` bytes are there, reading them when not yet.
  const auto have = [&](std::uint64_t end) {
    if (end <= head.size()) return true;
    if (end > kPeMostTableBytes) return false;
    std::optional<std::string> more = read(0, static_cast<std::size_t>(end));
    if (!more) return false;
    head = std::move(*more);
    return end <= head.size();
  };
  const std::uint64_t optional = pe + kOptionalHeaderAt;
  if (!have(optional)) return LoadConfig::kCutShort;
  const std::uint32_t sections = LittleEndian(head, pe + kSectionCountAt, 2);
  const std::uint32_t optionalSize = LittleEndian(head, pe + kOptionalSizeAt, 2);
  const std::uint64_t table = optional + optionalSize;
  if (!have(table + kSectionSize * sections)) return LoadConfig::kCutShort;
  if (optionalSize < kLoadConfigDirectoryAt + 8 ||
      LittleEndian(head, optional, 2) != kPe32PlusMagic ||
      LittleEndian(head, optional + kDirectoryCountAt, 4) <= kLoadConfigEntry) {
    return LoadConfig::kPlain;
  }
  const std::uint32_t address = LittleEndian(head, optional + kLoadConfigDirectoryAt, 4);
  if (address == 0) return LoadConfig::kPlain;
  const std::optional<std::uint64_t> at = FileOffsetOf(
      head, table, sections, address, LittleEndian(head, optional + kHeadersSizeAt, 4));
  if (!at) return LoadConfig::kOutsideFile;
  const std::optional<std::string> config = read(*at, kLoadConfigBytes);
  if (!config) return LoadConfig::kCutShort;
  if (config->size() < 4) return LoadConfig::kOutsideFile;
  // A structure too short to hold the pointer has none, as the loader sees it.
  if (LittleEndian(*config, 0, 4) < kLoadConfigBytes) return LoadConfig::kPlain;
  if (config->size() < kLoadConfigBytes) return LoadConfig::kCutShort;
  const bool hybrid = LittleEndian(*config, kChpeMetadataAt, 4) != 0 ||
                      LittleEndian(*config, kChpeMetadataAt + 4, 4) != 0;
  return hybrid ? LoadConfig::kHybrid : LoadConfig::kPlain;
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

PeHeader ReadPeFile(const PeFileReader& read) {
  std::optional<std::string> head = read(0, kPeHeadBytes);
  if (!head) return PeHeader{};
  PeHeader header = ParsePeHeader(*head);
  // A short read is the whole file; only a full one may have more to read.
  if (header.problem == PeHeader::Problem::kOffsetPastEnd && head->size() == kPeHeadBytes &&
      header.needed <= kPeMostHeadBytes) {
    head = read(0, static_cast<std::size_t>(header.needed));
    header = head ? ParsePeHeader(*head) : PeHeader{};
  }
  if (header.problem == PeHeader::Problem::kNone &&
      (header.machine == pe_machine::kX64 || header.machine == pe_machine::kArm64)) {
    header.loadConfig = ReadLoadConfig(read, std::move(*head), header.offset);
  }
  return header;
}

PeHeader ReadPeHeader(FileSystem& files, std::u16string_view path) {
  return ReadPeFile([&](std::uint64_t offset, std::size_t maxBytes) {
    return files.ReadAt(path, offset, maxBytes);
  });
}

std::u16string PeMachineName(std::uint16_t machine) {
  switch (machine) {
    case pe_machine::kX64: return u"x64";
    case pe_machine::kX86: return u"x86";
    case pe_machine::kArm64: return u"ARM64";
    default: return FormatText(kOtherMachine, {std::uint32_t{machine}});
  }
}

std::u16string PeArchitectureName(const PeHeader& header) {
  if (header.loadConfig == PeHeader::LoadConfig::kHybrid) {
    if (header.machine == pe_machine::kArm64) return u"Arm64X";
    if (header.machine == pe_machine::kX64) return u"Arm64EC";
  }
  return PeMachineName(header.machine);
}

std::u16string DescribePeHeader(const PeHeader& header) {
  using Problem = PeHeader::Problem;
  using LoadConfig = PeHeader::LoadConfig;
  switch (header.problem) {
    case Problem::kNone:
      if (header.machine == pe_machine::kArm64 && header.loadConfig == LoadConfig::kCutShort) {
        return FormatText(kLoadConfigCutShort, {PeMachineName(header.machine)});
      }
      if (header.machine == pe_machine::kArm64 && header.loadConfig == LoadConfig::kOutsideFile) {
        return FormatText(kLoadConfigOutside, {PeMachineName(header.machine)});
      }
      return PeArchitectureName(header);
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
