#pragma once
// What the check tool reads of one registered task through the Task
// Scheduler's COM API (ITaskService). Read only: it never creates, changes or
// runs a task.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/types.h"

namespace lss {

namespace task_result {
inline constexpr HResult kReady = 0x00041300;
inline constexpr HResult kRunning = 0x00041301;
inline constexpr HResult kHasNotRun = 0x00041303;
inline constexpr HResult kTerminated = 0x00041306;  // ended by a person or its time limit
inline constexpr HResult kNotFound = static_cast<HResult>(0x80070002);
}  // namespace task_result

// TASK_LOGON_TYPE's values.
enum class TaskLogonType : std::int32_t {
  kNone = 0,
  kPassword = 1,
  kS4U = 2,
  kInteractiveToken = 3,
  kGroup = 4,
  kServiceAccount = 5,
  kInteractiveTokenOrPassword = 6,
};

struct TaskExecAction {
  std::u16string path;  // as stored: environment variables not expanded
  std::u16string arguments;
};

struct TaskInfo {
  bool enabled = true;  // IRegisteredTask::get_Enabled
  std::u16string userId;   // IPrincipal::get_UserId; empty when none is set
  std::u16string groupId;  // IPrincipal::get_GroupId; empty when none is set
  TaskLogonType logonType = TaskLogonType::kNone;
  std::vector<TaskExecAction> execActions;  // the Exec actions in order; others left out
  // IRegisteredTask::get_LastRunTime in local time; none when the task has
  // not run yet (SCHED_S_TASK_HAS_NOT_RUN) or the service does not say.
  std::optional<LocalTime> lastRun;
  // IRegisteredTask::get_LastTaskResult: the last run's exit code or one of
  // the task_result codes; none when the service does not say.
  std::optional<HResult> lastResult;
  std::optional<LocalTime> nextRun;  // IRegisteredTask::get_NextRunTime; none when not given
  std::u16string xml;  // IRegisteredTask::get_Xml: the whole definition; empty when not given
};

class ScheduledTasks {
 public:
  ScheduledTasks() = default;
  ScheduledTasks(const ScheduledTasks&) = delete;
  ScheduledTasks& operator=(const ScheduledTasks&) = delete;
  virtual ~ScheduledTasks() = default;

  // Reads the task at `path` ("Name" in the root folder, or "\Folder\Name").
  // 0 with *task filled; task_result::kNotFound (HRESULT_FROM_WIN32 of
  // ERROR_FILE_NOT_FOUND) when no task, or no folder, has that name; any other
  // HRESULT when the service cannot be reached or the task cannot be read.
  virtual HResult ReadTask(std::u16string_view path, TaskInfo* task) = 0;
};

}  // namespace lss
