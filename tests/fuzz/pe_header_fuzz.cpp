// Any bytes as a program file: reading its header and load configuration
// never reads out of bounds, asks for more than the bounds allow or loops,
// and gives the same through the check tool's file reads as straight from
// the bytes.
#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

#include "check/pe_header.h"
#include "fake/fake_check_platform.h"
#include "fuzz/fuzz_input.h"

namespace {

// Every field of the result.
bool Same(const lss::PeHeader& a, const lss::PeHeader& b) {
  return a.problem == b.problem && a.machine == b.machine && a.offset == b.offset &&
         a.size == b.size && a.needed == b.needed && a.loadConfig == b.loadConfig;
}

}  // namespace

void lss::fuzz::TestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string file(reinterpret_cast<const char*>(data), size);
  int reads = 0;
  std::size_t largest = 0;
  const lss::PeHeader header =
      lss::ReadPeFile([&](std::uint64_t offset, std::size_t maxBytes) -> std::optional<std::string> {
        ++reads;
        largest = std::max(largest, maxBytes);
        if (offset >= file.size()) return std::string();
        return file.substr(static_cast<std::size_t>(offset), maxBytes);
      });
  Require(reads <= 5, "a few reads at most");
  Require(largest <= lss::kPeMostTableBytes, "no read beyond the bounds");
  using LoadConfig = lss::PeHeader::LoadConfig;
  const bool is64 = header.problem == lss::PeHeader::Problem::kNone &&
                    (header.machine == lss::pe_machine::kX64 ||
                     header.machine == lss::pe_machine::kArm64);
  Require(is64 == (header.loadConfig != LoadConfig::kNotRead),
          "the load configuration is read for x64 and ARM64 only");
  Require(!lss::DescribePeHeader(header).empty(), "what was found has a name");

  lss::test::FakeCheckPlatform os;
  os.disk.AddFile(u"C:\\Office\\olmapi32.dll", file);
  Require(Same(lss::ReadPeHeader(os.files, u"C:\\Office\\olmapi32.dll"), header),
          "the file's reads give what the bytes give");
}
