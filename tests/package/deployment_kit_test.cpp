// The deployment kit under Wine: the task template through the task service,
// the settings example through reg.exe.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "common/rows.h"
#include "harness/scratch_files.h"
#include "harness/test_registry.h"
#include "installer.h"

namespace package_test {
namespace {

using lss::test::PrintTo;

constexpr wchar_t kScratchFolder[] = L"C:\\lss-package-test";
constexpr wchar_t kTaskName[] = L"Larkspan Nightly";
constexpr wchar_t kSettingsKey[] = L"Software\\Brinmoor\\Larkspan\\Settings";

// ASCII text as the template's bytes: UTF-16LE.
std::string Utf16Le(std::string_view ascii) {
  std::string bytes;
  for (const char c : ascii) bytes += {c, '\0'};
  return bytes;
}

std::string ReplaceFirst(std::string xml, std::string_view from, std::string_view to) {
  const std::string wideFrom = Utf16Le(from);
  const std::size_t at = xml.find(wideFrom);
  if (at == std::string::npos) throw std::runtime_error("the template has no " + std::string(from));
  return xml.replace(at, wideFrom.size(), Utf16Le(to));
}

// A copy of the shipped template, made from its bytes, and whether the task
// service takes it.
struct CopyCase {
  const char* what;
  std::function<std::string(const std::string& xml)> copy;
  bool accepted;
};

const CopyCase kCopies[] = {
    {.what = "AsShipped", .copy = [](const std::string& xml) { return xml; }, .accepted = true},
    // Cut in the middle, on a UTF-16 character boundary. (A copy that
    // lacks only the root's end tag makes Wine's schtasks hang.)
    {.what = "CutShort",
     .copy = [](const std::string& xml) { return xml.substr(0, xml.size() / 4 * 2); },
     .accepted = false},
    {.what = "MismatchedEndTag",
     .copy =
         [](const std::string& xml) { return ReplaceFirst(xml, "</Principals>", "</Principal>"); },
     .accepted = false},
    {.what = "NotXml",
     .copy = [](const std::string&) { return "\xff\xfe" + Utf16Le("schtasks /Create"); },
     .accepted = false},
};

class TaskTemplate : public testing::TestWithParam<CopyCase> {};

TEST_P(TaskTemplate, IsAcceptedByTheTaskServiceOnlyWhenWellFormed) {
  const CopyCase& c = GetParam();
  const std::string xml = e2e::ReadFileBytes(e2e::PathFromEnvironment(L"LSS_TASK_TEMPLATE"));
  e2e::MakeFreshFolder(kScratchFolder);
  const std::wstring path = std::wstring(kScratchFolder) + L"\\task.xml";
  e2e::WriteFileBytes(path, c.copy(xml));
  const DWORD code = RunSystemTool(L"schtasks.exe",
                                   L"/Create /XML \"" + path + L"\" /TN \"" + kTaskName + L"\" /F");
  EXPECT_EQ(code == 0, c.accepted) << "schtasks /Create: " << code;
  RunSystemTool(L"schtasks.exe", L"/Delete /TN \"" + std::wstring(kTaskName) + L"\" /F");
}

INSTANTIATE_TEST_SUITE_P(, TaskTemplate, testing::ValuesIn(kCopies), lss::test::RowName);

// That a run expands such a folder and logs into it is
// tests/e2e/run_log_test.cpp's RunLog.AnExpandableFolderPerUserIsExpandedAndCreated.
TEST(SettingsExample, ImportsWithThePerUserLogFolderOfTheGuide) {
  e2e::DeleteKeyTree(HKEY_CURRENT_USER, L"Software\\Brinmoor");
  const std::wstring reg = e2e::PathFromEnvironment(L"LSS_SETTINGS_REG");
  ASSERT_EQ(RunSystemTool(L"reg.exe", L"import \"" + reg + L"\""), 0u);

  const auto wait = e2e::ReadValue(HKEY_CURRENT_USER, kSettingsKey, L"WaitSecondsForOutlookStart");
  ASSERT_TRUE(wait.has_value());
  EXPECT_EQ(wait->type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(e2e::ReadValue(HKEY_CURRENT_USER, kSettingsKey, L"LogRetentionDays"),
            e2e::RegValue::Dword(30));
  EXPECT_EQ(e2e::ReadValue(HKEY_CURRENT_USER, kSettingsKey, L"LogDirectory"),
            e2e::RegValue::ExpandSz(L"%LOCALAPPDATA%\\Larkspan\\Logs"));
}

}  // namespace
}  // namespace package_test
