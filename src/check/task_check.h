#pragma once
// The scheduled task that starts the runs: does it exist, is it set up so
// that a run can start Outlook, and how did its last run end?
//
// The template's task has two actions: LSScheduler.exe, then this tool of the
// same folder, whose exit code Task Scheduler keeps as the task's last result.
// When the task's last action is this tool, a last result of 1 or 2 is that
// check's verdict on the run (WARN or FAIL), not Windows' text for the code.
// A task whose last action is not this tool writes no verdict after its run:
// that is INFO, and it shows only when nothing worse is found, so an OK or
// INFO outcome becomes INFO with the note added, while a WARN or FAIL stands
// as it is.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "check/check_context.h"
#include "check/check_result.h"
#include "platform/scheduled_tasks.h"

namespace lss {

struct TaskReading {
  std::u16string name;  // as given: "Name" or "\Folder\Name"
  HResult result = task_result::kNotFound;
  TaskInfo info;  // filled when result is 0

  // When the task last ran, if it was read and has run.
  std::optional<LocalTime> LastRun() const;
};

TaskReading ReadScheduledTask(CheckContext& context, std::u16string_view name);

// The task to read: `given` (--task) when not empty, else the name the MSI
// recorded (TaskName under HKLM\Software\Brinmoor\LSScheduler, 64-bit view)
// when not empty, else kDefaultTaskName.
std::u16string TaskNameToRead(CheckContext& context, std::u16string_view given);

CheckResult CheckTask(CheckContext& context, const TaskReading& task);

// True when `account` (a name, "NT AUTHORITY\..." name or SID) is one of the
// service accounts SYSTEM, LocalService or NetworkService.
bool IsServiceAccount(std::u16string_view account);

// What the scheduler reads of these arguments: whether they hold the flag
// `letter` ('-' or '/' followed by an argument that begins with it, in either
// case).
bool HasSchedulerFlag(const std::vector<std::u16string>& arguments, char16_t letter);

}  // namespace lss
