#pragma once
// Everything the check tool needs from the operating system, in one bundle:
// its own queries, and the parts of the scheduler's seam it shares, with the
// file and registry verbs the scheduler never uses.
#include "platform/check_queries.h"
#include "platform/clock.h"
#include "platform/environment.h"
#include "platform/event_log.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "platform/scheduled_tasks.h"
#include "platform/system_messages.h"

namespace lss {

struct CheckPlatform {
  CheckQueries& queries;
  ScheduledTasks& tasks;
  EventLog& eventLog;
  Process& process;  // its arguments
  Registry& registry;  // with listing
  Clock& clock;
  SystemMessages& messages;
  FileSystem& files;  // with the check tool's own verbs
  Environment& environment;
};

}  // namespace lss
