#pragma once
// Everything the check tool needs from the operating system, in one bundle:
// its own queries, those of its support bundle, and the parts of the scheduler's seam it shares.
#include "platform/check_queries.h"
#include "platform/clock.h"
#include "platform/collect_queries.h"
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
  CollectQueries& collect;  // the support bundle's files and reads
  FileSystem& files;         // with the check tool's own verbs
  Environment& environment;
};

}  // namespace lss
