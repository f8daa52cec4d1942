#include <windows.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "harness/scratch_files.h"
#include "platform/win32/win32_shell.h"

namespace {

const std::wstring kFolder = L"C:\\lss_win32_tests\\shell";

struct StartCase {
  const char* what;
  bool probe;  // start the probe, or a program that does not exist
  bool started;
  std::optional<std::string> shown;  // the started program's show command
};

class ShellStart : public testing::TestWithParam<StartCase> {};

TEST_P(ShellStart, ShowsTheProgramNormally) {
  const StartCase& c = GetParam();
  e2e::MakeFreshFolder(kFolder);
  const std::wstring file =
      c.probe ? e2e::PathFromEnvironment(L"LSS_SHOW_WINDOW_PROBE") : kFolder + L"\\missing.exe";
  const std::wstring report = kFolder + L"\\shown.txt";
  lss::Win32Shell shell;
  const std::intptr_t result = shell.Execute(std::u16string(file.begin(), file.end()),
                                             std::u16string(report.begin(), report.end()));
  EXPECT_EQ(result > 32, c.started) << c.what << ": " << result;
  // The probe ends at once; give it ten seconds to write its report.
  for (int i = 0; i < 100 && c.started && !e2e::PathExists(report); ++i) ::Sleep(100);
  EXPECT_EQ(e2e::PathExists(report) ? std::optional(e2e::ReadFileBytes(report)) : std::nullopt,
            c.shown)
      << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, ShellStart,
    testing::Values(StartCase{"a program", true, true, std::to_string(SW_SHOWNORMAL)},
                    StartCase{"a missing program", false, false, std::nullopt}));

}  // namespace
