// Tasks registered through schtasks from the deployment kit's template, then
// read through the Task Scheduler's COM API. Wine keeps only part of a
// definition (no principal, no actions) and runs nothing, so only whether a
// task is found and enabled is compared here.
#include "harness/scheduled_tasks.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "harness/scratch_files.h"
#include "platform/win32/win32_scheduled_tasks.h"

namespace {

const std::wstring kFolder = L"C:\\lss_win32_tests\\tasks";

enum class Definition { kNone, kTemplate, kDisabled };

struct TaskCase {
  const char* what;
  Definition definition;  // what is registered
  const wchar_t* registeredAs;
  bool deleteFirst;  // deleted again before the read
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
        e2e::WriteTaskTemplate(folder, c.definition == Definition::kDisabled), c.registeredAs,
        folder);
  }
  if (c.deleteFirst) task->Delete();

  lss::Win32ScheduledTasks tasks;
  lss::TaskInfo read;
  read.enabled = !c.enabled;  // so that a read that sets nothing shows
  ASSERT_EQ(tasks.ReadTask(c.readAs, &read), c.result) << c.what;
  if (c.result != 0) return;
  EXPECT_EQ(read.enabled, c.enabled) << c.what;
  EXPECT_EQ(read.lastRun, std::nullopt) << c.what;  // has not run yet
}

constexpr lss::HResult kNotFound = lss::task_result::kNotFound;

INSTANTIATE_TEST_SUITE_P(
    Table, ScheduledTask,
    testing::Values(TaskCase{"the template by name", Definition::kTemplate, L"LSS Win32 Nightly",
                             false, u"LSS Win32 Nightly", 0, true},
                    TaskCase{"the template by its path in the root", Definition::kTemplate,
                             L"LSS Win32 Nightly", false, u"\\LSS Win32 Nightly", 0, true},
                    TaskCase{"the template in a folder", Definition::kTemplate,
                             L"\\LSS Win32\\Nightly", false, u"\\LSS Win32\\Nightly", 0, true},
                    TaskCase{"a disabled copy", Definition::kDisabled, L"LSS Win32 Disabled", false,
                             u"LSS Win32 Disabled", 0, false},
                    TaskCase{"a disabled copy in a folder", Definition::kDisabled,
                             L"\\LSS Win32\\Disabled", false, u"\\LSS Win32\\Disabled", 0, false},
                    TaskCase{"a missing name", Definition::kNone, L"", false, u"LSS Win32 Missing",
                             kNotFound, true},
                    TaskCase{"a missing folder", Definition::kNone, L"", false,
                             u"\\LSS No Folder\\Nightly", kNotFound, true},
                    TaskCase{"a name with a slash into a missing folder", Definition::kNone, L"",
                             false, u"LSS No Folder/Nightly", kNotFound, true},
                    TaskCase{"a missing name in a folder that exists", Definition::kTemplate,
                             L"\\LSS Win32\\Nightly", false, u"\\LSS Win32\\Missing", kNotFound,
                             true},
                    TaskCase{"a task deleted again", Definition::kTemplate, L"LSS Win32 Deleted",
                             true, u"LSS Win32 Deleted", kNotFound, true}));

}  // namespace
