// The check tool's queries against the real system: where each reads from.
// The files (program headers among them), the look at a mutex and the
// registry views are in tests/contract.
#include <windows.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "common/narrow.h"
#include "common/rows.h"
#include "harness/process_runner.h"
#include "harness/scratch_files.h"
#include "harness/text.h"
#include "platform/win32/win32_check_file_system.h"
#include "platform/win32/win32_check_queries.h"
#include "platform/win32/win32_environment.h"

namespace {

using lss::test::PrintTo;

const std::wstring kFolder = L"C:\\lss_win32_tests\\check";

std::u16string U16(std::wstring_view text) { return std::u16string(text.begin(), text.end()); }

struct RunningRow {
  const char* what;
  const char16_t* asked;
  bool running;
};

class RunningProgram : public testing::TestWithParam<RunningRow> {};

TEST_P(RunningProgram, IsFoundByItsFileNameInAnyCase) {
  e2e::MakeFreshFolder(kFolder);
  const std::wstring program = kFolder + L"\\LSScheduler.exe";
  e2e::CopyFileTo(e2e::PathFromEnvironment(L"LSS_IDLE_PROGRAM"), program);
  e2e::ChildProcess idle(program, L"20000");
  lss::Win32CheckQueries queries;
  EXPECT_EQ(queries.IsProgramRunning(GetParam().asked), GetParam().running);
}  // the idle program is ended here

INSTANTIATE_TEST_SUITE_P(
    , RunningProgram,
    testing::ValuesIn(std::vector<RunningRow>{
        {.what = "its own name", .asked = u"LSScheduler.exe", .running = true},
        {.what = "in capitals", .asked = u"LSSCHEDULER.EXE", .running = true},
        {.what = "in small letters", .asked = u"lsscheduler.exe", .running = true},
        {.what = "without its extension", .asked = u"LSScheduler", .running = false},
        {.what = "another program", .asked = u"LSSchedulerCheck.exe", .running = false},
    }),
    lss::test::RowName);

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
  EXPECT_THAT(lss::test::Wide(own), testing::EndsWith(L"\\lss_win32_tests.exe"));
  lss::Win32CheckFileSystem files;
  EXPECT_TRUE(files.IsFile(own));
  EXPECT_FALSE(files.IsFolder(own));
}

}  // namespace
