#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "harness/scratch_files.h"
#include "platform/win32/win32_shell.h"

namespace {

const std::wstring kFolder = L"C:\\lss_win32_tests\\shell";

std::u16string U16(std::wstring_view text) { return std::u16string(text.begin(), text.end()); }

// What a missing program gives is in tests/e2e/outlook_launch_test.cpp's row
// "\"Path\" without a trailing backslash names a file that does not exist".
TEST(ShellStart, ShowsTheProgramNormally) {
  e2e::MakeFreshFolder(kFolder);
  const std::wstring report = kFolder + L"\\shown.txt";
  lss::Win32Shell shell;
  const std::intptr_t result =
      shell.Execute(U16(e2e::PathFromEnvironment(L"LSS_SHOW_WINDOW_PROBE")), U16(report));
  EXPECT_GT(result, 32);
  // The probe ends at once; give it ten seconds to write its report.
  for (int i = 0; i < 100 && !e2e::PathExists(report); ++i) ::Sleep(100);
  ASSERT_TRUE(e2e::PathExists(report));
  EXPECT_EQ(e2e::ReadFileBytes(report), std::to_string(SW_SHOWNORMAL));
}

}  // namespace
