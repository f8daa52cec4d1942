#pragma once
// Registered tasks read through the Task Scheduler's COM API (ITaskService).
//
// COM: every ReadTask enters a single-threaded apartment on the calling
// thread itself and leaves it before returning; a thread already in an
// apartment of either kind keeps it, and the call works in that one. The
// caller need not initialise COM.
#include "platform/scheduled_tasks.h"

namespace lss {

class Win32ScheduledTasks final : public ScheduledTasks {
 public:
  Win32ScheduledTasks() = default;

  // Properties the service does not implement (E_NOTIMPL) or leaves unset
  // keep the TaskInfo defaults.
  HResult ReadTask(std::u16string_view path, TaskInfo* task) override;
};

}  // namespace lss
