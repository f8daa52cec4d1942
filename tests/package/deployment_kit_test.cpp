// The deployment kit under Wine: the task template through the task service,
// the settings example through reg.exe and a run of the program.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <stdexcept>
#include <string_view>

#include "harness/process_runner.h"
#include "harness/scratch_files.h"
#include "harness/test_registry.h"
#include "harness/text.h"
#include "installer.h"

namespace package_test {
namespace {

using namespace std::chrono_literals;

constexpr wchar_t kScratchFolder[] = L"C:\\lss-package-test";
constexpr wchar_t kTaskName[] = L"Larkspan Nightly";
constexpr wchar_t kSettingsKey[] = L"Software\\Brinmoor\\Larkspan\\Settings";

struct TaskCase {
  const char* name;
  std::function<std::string(const std::string&)> edit;  // of the template's bytes
  bool accepted;
};

class TaskTemplate : public ::testing::TestWithParam<TaskCase> {
 protected:
  void TearDown() override {
    RunSystemTool(L"schtasks.exe", L"/Delete /TN \"" + std::wstring(kTaskName) + L"\" /F");
  }
};

TEST_P(TaskTemplate, IsAcceptedByTheTaskServiceOnlyWhenWellFormed) {
  const TaskCase& row = GetParam();
  const std::string original = e2e::ReadFileBytes(e2e::PathFromEnvironment(L"LSS_TASK_TEMPLATE"));
  e2e::MakeFreshFolder(kScratchFolder);
  const std::wstring copy = std::wstring(kScratchFolder) + L"\\task.xml";
  e2e::WriteFileBytes(copy, row.edit(original));

  const DWORD code = RunSystemTool(
      L"schtasks.exe", L"/Create /XML \"" + copy + L"\" /TN \"" + kTaskName + L"\" /F");
  if (row.accepted) {
    EXPECT_EQ(code, 0u);
  } else {
    EXPECT_NE(code, 0u);
  }
}

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

INSTANTIATE_TEST_SUITE_P(
    Copies, TaskTemplate,
    ::testing::Values(
        TaskCase{"AsShipped", [](const std::string& xml) { return xml; }, true},
        // Cut in the middle, on a UTF-16 character boundary. (A copy that
        // lacks only the root's end tag makes Wine's schtasks hang.)
        TaskCase{"CutShort", [](const std::string& xml) { return xml.substr(0, xml.size() / 4 * 2); },
                 false},
        TaskCase{"MismatchedEndTag",
                 [](const std::string& xml) { return ReplaceFirst(xml, "</Principals>", "</Principal>"); },
                 false},
        TaskCase{"NotXml", [](const std::string&) { return "\xff\xfe" + Utf16Le("schtasks /Create"); },
                 false}),
    [](const ::testing::TestParamInfo<TaskCase>& row) { return std::string(row.param.name); });

TEST(SettingsExample, ImportsAndTheNextRunLogsIntoThePerUserFolderItNames) {
  e2e::DeleteKeyTree(HKEY_CURRENT_USER, L"Software\\Brinmoor");
  const std::wstring reg = e2e::PathFromEnvironment(L"LSS_SETTINGS_REG");
  ASSERT_EQ(RunSystemTool(L"reg.exe", L"import \"" + reg + L"\""), 0u);

  const auto wait = e2e::ReadValue(HKEY_CURRENT_USER, kSettingsKey, L"WaitSecondsForOutlookStart");
  ASSERT_TRUE(wait.has_value());
  EXPECT_EQ(wait->type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(e2e::ReadValue(HKEY_CURRENT_USER, kSettingsKey, L"LogRetentionDays"),
            e2e::RegValue::Dword(30));
  // The guide's folder per user, expanded by the run.
  EXPECT_EQ(e2e::ReadValue(HKEY_CURRENT_USER, kSettingsKey, L"LogDirectory"),
            e2e::RegValue::ExpandSz(L"%LOCALAPPDATA%\\Larkspan\\Logs"));
  const wchar_t* localAppData = _wgetenv(L"LOCALAPPDATA");
  ASSERT_NE(localAppData, nullptr);
  const std::wstring folder = std::wstring(localAppData) + L"\\Larkspan\\Logs";

  e2e::RemoveTree(folder);  // the run creates it
  EXPECT_EQ(e2e::RunProgram(e2e::PathFromEnvironment(L"LSS_EXE"), L"", 60s).exitCode, 0u);
  const std::vector<std::wstring> logs = e2e::FileNamesIn(folder);
  ASSERT_EQ(logs.size(), 1u) << e2e::ToUtf8(folder);
  EXPECT_THAT(e2e::ToUtf8(logs[0]), ::testing::MatchesRegex("Scheduler\\d+\\.log"));
  e2e::RemoveTree(folder);
}

}  // namespace
}  // namespace package_test
