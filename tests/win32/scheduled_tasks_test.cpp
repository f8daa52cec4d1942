// Tasks registered through schtasks from the deployment kit's template, then
// read through the Task Scheduler's COM API. Wine keeps only part of a
// definition (no principal, no actions) and runs nothing, so only whether a
// task is found and enabled is compared here.
#include "harness/scheduled_tasks.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

#include "harness/scratch_files.h"
#include "platform/win32/win32_scheduled_tasks.h"

namespace {

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

// A failed row names itself, not its bytes.
void PrintTo(const TaskCase& row, std::ostream* out) { *out << row.what; }

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
    EXPECT_NE(read.xml.find(std::u16string(author.begin(), author.end())), std::u16string::npos)
        << c.what;
  }
}

constexpr lss::HResult kNotFound = lss::task_result::kNotFound;

// Found by name, in a folder, disabled, deleted again or under another name:
// tests/e2e/check_task_test.cpp's TaskCheck rows, through the check tool.
INSTANTIATE_TEST_SUITE_P(
    Table, ScheduledTask,
    testing::Values(TaskCase{"the template by its path in the root", Definition::kTemplate,
                             L"LSS Win32 Nightly", u"\\LSS Win32 Nightly", 0, true},
                    TaskCase{"an author beyond ASCII, read back whole",
                             Definition::kAuthorBeyondAscii, L"LSS Win32 Author",
                             u"\\LSS Win32 Author", 0, true},
                    TaskCase{"a disabled copy in a folder", Definition::kDisabled,
                             L"\\LSS Win32\\Disabled", u"\\LSS Win32\\Disabled", 0, false},
                    TaskCase{"a missing folder", Definition::kNone, L"",
                             u"\\LSS No Folder\\Nightly", kNotFound, true},
                    TaskCase{"a name with a slash into a missing folder", Definition::kNone, L"",
                             u"LSS No Folder/Nightly", kNotFound, true},
                    TaskCase{"a missing name in a folder that exists", Definition::kTemplate,
                             L"\\LSS Win32\\Nightly", u"\\LSS Win32\\Missing", kNotFound, true}));

}  // namespace
