// What a program file's first bytes say, read through FileSystem::ReadAt as
// the check tool reads Outlook's and the MAPI library's: the fakes' parts of a
// file are Win32's, so the header each row describes is the same on both.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "check/pe_header.h"
#include "common/rows.h"
#include "contract/contract_machine.h"
#include "unit/check_test_helpers.h"

namespace lss::contract {
namespace {

using test::PeFile;
using test::ProgramFile;

struct HeaderRow {
  const char* what;
  std::optional<std::string> bytes;  // nothing: no file
  std::u16string found;              // DescribePeHeader of what was read
};

class ProgramHeaders : public testing::TestWithParam<HeaderRow> {};

TEST_P(ProgramHeaders, AreReadFromTheFilesFirstBytes) {
  const HeaderRow& row = GetParam();
  const std::unique_ptr<ContractMachine> machine = MakeContractMachine();
  if (row.bytes) machine->PutFile(u"program.exe", *row.bytes, false);
  const std::u16string path = machine->Folder() + u"\\program.exe";
  FileSystem& files = machine->files();
  EXPECT_EQ(DescribePeHeader(ReadPeHeader(files, path)), row.found);
  // Nothing in these files is a version resource.
  EXPECT_EQ(files.FileVersion(path), std::nullopt);
}

std::string WithMx() {
  std::string mx = ProgramFile(0x8664);
  mx[1] = 'X';
  return mx;
}

// Moved from the Win32 suite's ProgramHeader table, row for row.
INSTANTIATE_TEST_SUITE_P(
    , ProgramHeaders,
    testing::ValuesIn(std::vector<HeaderRow>{
        {.what = "x64", .bytes = ProgramFile(0x8664, 0x80, 0x400), .found = u"x64"},
        {.what = "x86", .bytes = ProgramFile(0x14C, 0x80, 0x86), .found = u"x86"},
        {.what = "ARM64 with its header far in",
         .bytes = ProgramFile(0xAA64, 0xF00, 0x2000),
         .found = u"ARM64"},
        {.what = "a file that ends inside its DOS header",
         .bytes = ProgramFile(0x8664, 0x80, 0x30),
         .found = u"not a complete program file (it ends after 48 bytes, inside its DOS header)"},
        {.what = "a header offset past the 132 bytes read",
         .bytes = ProgramFile(0x8664, 0x80, 0x84),
         .found = u"not a complete program file (its PE header offset 0x80 points past the 132 "
                  u"bytes read)"},
        {.what = "MZ and a DOS header of letters",
         .bytes = std::string("MZ") + std::string(0x3E, 'x'),
         .found = u"not a complete program file (its PE header offset 0x78787878 points past the "
                  u"64 bytes read)"},
        {.what = "no file", .bytes = std::nullopt, .found = u"the file could not be read"},
        {.what = "MX instead of MZ",
         .bytes = WithMx(),
         .found = u"not a program file (it does not start with MZ)"},
        {.what = "a header offset past the 64 bytes read",
         .bytes = ProgramFile(0x8664, 0x80, 0x40),
         .found = u"not a complete program file (its PE header offset 0x80 points past the 64 "
                  u"bytes read)"},
        // Crafted as Windows' linkers lay out x64, Arm64EC and Arm64X files.
        {.what = "x64 as a linker lays it out", .bytes = PeFile({}), .found = u"x64"},
        {.what = "Arm64EC", .bytes = PeFile({.chpe = 0x180004000}), .found = u"Arm64EC"},
        {.what = "Arm64X",
         .bytes = PeFile({.machine = 0xAA64, .chpe = 0x180004000}),
         .found = u"Arm64X"},
        {.what = "ARM64 as a linker lays it out",
         .bytes = PeFile({.machine = 0xAA64}),
         .found = u"ARM64"},
        {.what = "ARM64 with its load configuration cut short",
         .bytes = PeFile({.machine = 0xAA64, .chpe = 1, .fileSize = 0x450}),
         .found = u"ARM64 (its load configuration is cut short)"},
        {.what = "ARM64 with its load configuration outside the file",
         .bytes = PeFile({.machine = 0xAA64, .chpe = 1, .rawPointer = 0x800}),
         .found = u"ARM64 (its load configuration lies outside the file)"},
    }),
    test::RowName);

}  // namespace
}  // namespace lss::contract
