// The check tool's queries against the real system: where each reads from.
// The files, the look at a mutex and the registry views are in tests/contract.
#include <windows.h>
#include <gtest/gtest.h>

#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "check/pe_header.h"
#include "harness/process_runner.h"
#include "harness/scratch_files.h"
#include "harness/text.h"
#include "platform/win32/win32_check_file_system.h"
#include "platform/win32/win32_check_queries.h"
#include "platform/win32/win32_environment.h"
#include "unit/check_test_helpers.h"

namespace {

const std::wstring kFolder = L"C:\\lss_win32_tests\\check";

std::u16string U16(std::wstring_view text) { return std::u16string(text.begin(), text.end()); }

using lss::test::PeFile;

struct RunningCase {
  const char16_t* asked;
  bool running;
};

class RunningProgram : public testing::TestWithParam<RunningCase> {};

TEST_P(RunningProgram, IsFoundByItsFileNameInAnyCase) {
  e2e::MakeFreshFolder(kFolder);
  const std::wstring program = kFolder + L"\\LSScheduler.exe";
  e2e::CopyFileTo(e2e::PathFromEnvironment(L"LSS_IDLE_PROGRAM"), program);
  e2e::ChildProcess idle(program, L"20000");
  lss::Win32CheckQueries queries;
  EXPECT_EQ(queries.IsProgramRunning(GetParam().asked), GetParam().running)
      << lss::test::Narrow(GetParam().asked);
}  // the idle program is ended here

INSTANTIATE_TEST_SUITE_P(Table, RunningProgram,
                         testing::Values(RunningCase{u"LSScheduler.exe", true},
                                         RunningCase{u"LSSCHEDULER.EXE", true},
                                         RunningCase{u"lsscheduler.exe", true},
                                         RunningCase{u"LSScheduler", false},
                                         RunningCase{u"LSSchedulerCheck.exe", false}));

struct HeaderCase {
  std::optional<std::string> bytes;  // nothing: no file
  std::u16string found;              // DescribePeHeader of what was read
};

class ProgramHeader : public testing::TestWithParam<HeaderCase> {};

TEST_P(ProgramHeader, IsReadFromTheFilesFirstBytes) {
  const HeaderCase& c = GetParam();
  e2e::MakeFreshFolder(kFolder);
  const std::wstring path = kFolder + L"\\program.exe";
  if (c.bytes) e2e::WriteFileBytes(path, *c.bytes);
  lss::Win32CheckFileSystem files;
  EXPECT_EQ(lss::DescribePeHeader(lss::ReadPeHeader(files, U16(path))), c.found);
  // Nothing in these files is a version resource.
  EXPECT_EQ(files.FileVersion(U16(path)), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ProgramHeader,
    testing::Values(HeaderCase{lss::test::ProgramFile(0x8664, 0x80, 0x400), u"x64"},
                    HeaderCase{lss::test::ProgramFile(0x14C, 0x80, 0x86), u"x86"},
                    HeaderCase{lss::test::ProgramFile(0xAA64, 0xF00, 0x2000), u"ARM64"},
                    HeaderCase{lss::test::ProgramFile(0x8664, 0x80, 0x30),
                               u"not a complete program file (it ends after 48 bytes, inside its "
                               u"DOS header)"},
                    HeaderCase{lss::test::ProgramFile(0x8664, 0x80, 0x84),
                               u"not a complete program file (its PE header offset 0x80 points "
                               u"past the 132 bytes read)"},
                    HeaderCase{std::string("MZ") + std::string(0x3E, 'x'),
                               u"not a complete program file (its PE header offset 0x78787878 "
                               u"points past the 64 bytes read)"},
                    HeaderCase{std::nullopt, u"the file could not be read"},
                    HeaderCase{[] {
                                 std::string mx = lss::test::ProgramFile(0x8664);
                                 mx[1] = 'X';  // "MX"
                                 return mx;
                               }(),
                               u"not a program file (it does not start with MZ)"},
                    HeaderCase{lss::test::ProgramFile(0x8664, 0x80, 0x40),
                               u"not a complete program file (its PE header offset 0x80 points "
                               u"past the 64 bytes read)"},
                    // Crafted as Windows' linkers lay out x64, Arm64EC and Arm64X files.
                    HeaderCase{PeFile({}), u"x64"},
                    HeaderCase{PeFile({.chpe = 0x180004000}), u"Arm64EC"},
                    HeaderCase{PeFile({.machine = 0xAA64, .chpe = 0x180004000}), u"Arm64X"},
                    HeaderCase{PeFile({.machine = 0xAA64}), u"ARM64"},
                    HeaderCase{PeFile({.machine = 0xAA64, .chpe = 1, .fileSize = 0x450}),
                               u"ARM64 (its load configuration is cut short)"},
                    HeaderCase{PeFile({.machine = 0xAA64, .chpe = 1, .rawPointer = 0x800}),
                               u"ARM64 (its load configuration lies outside the file)"}));

// Wine runs only on x64 hosts; what an Arm computer gives is in the fake's
// rows (IsWow64Process2's native machine, 0xAA64, for an emulated x64 process).
TEST(CheckQueries, KnowTheNativeMachine) {
  lss::Win32CheckQueries queries;
  EXPECT_EQ(queries.NativeMachine(), 0x8664);
}

// The project's programs share one version; the idle program has 1.2.3.4.
TEST(CheckQueries, ReadAProgramsFileVersionPartByPart) {
  lss::Win32CheckFileSystem files;
  EXPECT_EQ(files.FileVersion(U16(e2e::PathFromEnvironment(L"LSS_IDLE_PROGRAM"))), u"1.2.3.4");
}

// Moved from CollectQueries.KnowWindowsVersion with the query.
TEST(CheckQueries, KnowWindowsVersion) {
  lss::Win32CheckQueries queries;
  const std::u16string version = queries.WindowsVersion();
  const std::string shown = e2e::ToUtf8(std::wstring(version.begin(), version.end()));
  EXPECT_TRUE(std::regex_match(shown, std::regex("\\d+\\.\\d+\\.\\d+"))) << shown;
}

TEST(CheckQueries, ExpandTheEnvironmentAndKnowTheirOwnFile) {
  lss::Win32CheckQueries queries;
  lss::Win32Environment environment;
  ASSERT_TRUE(::SetEnvironmentVariableW(L"LSS_TEST_FOLDER", L"C:\\Program Files\\Brinmoor"));
  EXPECT_EQ(environment.ExpandEnvironment(u"%LSS_TEST_FOLDER%\\LSScheduler.exe"),
            u"C:\\Program Files\\Brinmoor\\LSScheduler.exe");
  EXPECT_EQ(environment.ExpandEnvironment(u"%LSS_NOT_SET%\\x"), u"%LSS_NOT_SET%\\x");
  const std::u16string own = queries.ProgramPath();
  EXPECT_NE(own.find(u"lss_win32_tests.exe"), std::u16string::npos);
  lss::Win32CheckFileSystem files;
  EXPECT_TRUE(files.IsFile(own));
  EXPECT_FALSE(files.IsFolder(own));
}

}  // namespace
