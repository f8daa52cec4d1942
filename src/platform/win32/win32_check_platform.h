#pragma once
// The real operating system as the check tool sees it: its own queries, the
// task query, the event write, and the parts of the scheduler's layer it shares.
#include "platform/check_platform.h"
#include "platform/win32/win32_check_file_system.h"
#include "platform/win32/win32_check_queries.h"
#include "platform/win32/win32_check_registry.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_environment.h"
#include "platform/win32/win32_event_log.h"
#include "platform/win32/win32_process.h"
#include "platform/win32/win32_scheduled_tasks.h"
#include "platform/win32/win32_system_messages.h"

namespace lss {

class Win32CheckPlatform {
 public:
  // Acquires nothing: COM and the Task Scheduler are reached only when asked.
  Win32CheckPlatform();
  Win32CheckPlatform(const Win32CheckPlatform&) = delete;
  Win32CheckPlatform& operator=(const Win32CheckPlatform&) = delete;

  CheckPlatform& bundle() { return bundle_; }

 private:
  Win32CheckQueries queries_;
  Win32ScheduledTasks tasks_;
  Win32EventLog eventLog_;
  Win32Process process_;
  Win32CheckRegistry registry_;
  Win32Clock clock_;
  Win32SystemMessages messages_;
  Win32CheckFileSystem files_;
  Win32Environment environment_;
  CheckPlatform bundle_;
};

}  // namespace lss
