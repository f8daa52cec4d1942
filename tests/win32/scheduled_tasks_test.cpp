// Tasks registered through schtasks from the deployment kit's template, then
// read through the Task Scheduler's COM API. Wine keeps only part of a
// definition (no principal, no actions) and runs nothing, so only whether a
// task is found and enabled is compared here.
#include "harness/scheduled_tasks.h"

#include <windows.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "common/rows.h"
#include "harness/scratch_files.h"
#include "platform/win32/win32_scheduled_tasks.h"

namespace {

using lss::test::PrintTo;
using ::testing::HasSubstr;

const std::wstring kFolder = L"C:\\lss_win32_tests\\tasks";

enum class Definition { kNone, kTemplate, kDisabled, kAuthorBeyondAscii };

// An en dash and CJK characters: none of them has an 8-bit form.
constexpr std::wstring_view kAuthorBeyondAscii = L"Brinmoor \u2013 \u65E5\u672C\u8A9E";

struct TaskCase {
  const char* what;
  Definition definition;  // what is registered
  const wchar_t* registeredAs;
  const char16_t* readAs;
  lss::HResult result;
  bool enabled;
};

class ScheduledTask : public testing::TestWithParam<TaskCase> {};

TEST_P(ScheduledTask, IsFoundByNameOrPathAndItsStateRead) {
  const TaskCase& c = GetParam();
  // A folder per row: Wine's console host may still hold an earlier row's output files.
  static int rows = 0;
  const std::wstring folder = kFolder + L"\\" + std::to_wstring(++rows);
  e2e::MakeFreshFolder(folder);
  std::unique_ptr<e2e::RegisteredTask> task;
  if (c.definition != Definition::kNone) {
    task = std::make_unique<e2e::RegisteredTask>(
        e2e::WriteTaskTemplate(folder, c.definition == Definition::kDisabled,
                               c.definition == Definition::kAuthorBeyondAscii
                                   ? kAuthorBeyondAscii
                                   : std::wstring_view()),
        c.registeredAs, folder);
  }

  lss::Win32ScheduledTasks tasks;
  lss::TaskInfo read;
  read.enabled = !c.enabled;  // so that a read that sets nothing shows
  ASSERT_EQ(tasks.ReadTask(c.readAs, &read), c.result) << c.what;
  if (c.result != 0) return;
  EXPECT_EQ(read.enabled, c.enabled) << c.what;
  EXPECT_EQ(read.lastRun, std::nullopt) << c.what;  // has not run yet
  if (c.definition == Definition::kAuthorBeyondAscii) {
    const std::wstring author = L"<Author>" + std::wstring(kAuthorBeyondAscii) + L"</Author>";
    EXPECT_THAT(std::wstring(read.xml.begin(), read.xml.end()), HasSubstr(author));
  }
}

constexpr lss::HResult kNotFound = lss::task_result::kNotFound;

// Found by name, in a folder, disabled, deleted again or under another name:
// tests/e2e/check_task_test.cpp's TaskCheck rows, through the check tool.
const TaskCase kTasks[] = {
    {.what = "the template by its path in the root",
     .definition = Definition::kTemplate,
     .registeredAs = L"LSS Win32 Nightly",
     .readAs = u"\\LSS Win32 Nightly",
     .result = 0,
     .enabled = true},
    {.what = "an author beyond ASCII, read back whole",
     .definition = Definition::kAuthorBeyondAscii,
     .registeredAs = L"LSS Win32 Author",
     .readAs = u"\\LSS Win32 Author",
     .result = 0,
     .enabled = true},
    {.what = "a disabled copy in a folder",
     .definition = Definition::kDisabled,
     .registeredAs = L"\\LSS Win32\\Disabled",
     .readAs = u"\\LSS Win32\\Disabled",
     .result = 0,
     .enabled = false},
    {.what = "a missing folder",
     .definition = Definition::kNone,
     .registeredAs = L"",
     .readAs = u"\\LSS No Folder\\Nightly",
     .result = kNotFound,
     .enabled = true},
    {.what = "a name with a slash into a missing folder",
     .definition = Definition::kNone,
     .registeredAs = L"",
     .readAs = u"LSS No Folder/Nightly",
     .result = kNotFound,
     .enabled = true},
    {.what = "a missing name in a folder that exists",
     .definition = Definition::kTemplate,
     .registeredAs = L"\\LSS Win32\\Nightly",
     .readAs = u"\\LSS Win32\\Missing",
     .result = kNotFound,
     .enabled = true},
};

INSTANTIATE_TEST_SUITE_P(, ScheduledTask, testing::ValuesIn(kTasks), lss::test::RowName);

}  // namespace
