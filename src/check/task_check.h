#pragma once
// The scheduled task that starts the runs: does it exist, is it set up so
// that a run can start Outlook, and how did its last run end?
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

CheckResult CheckTask(CheckContext& context, const TaskReading& task);

// True when `account` (a name, "NT AUTHORITY\..." name or SID) is one of the
// service accounts SYSTEM, LocalService or NetworkService.
bool IsServiceAccount(std::u16string_view account);

// What the scheduler reads of these arguments: whether they hold the flag
// `letter` ('-' or '/' followed by an argument that begins with it, in either
// case).
bool HasSchedulerFlag(const std::vector<std::u16string>& arguments, char16_t letter);

}  // namespace lss
