#pragma once
// One fake of everything the check tool needs from the OS.
#include "fake/call_journal.h"
#include "fake/fake_check_os.h"
#include "fake/fake_clock.h"
#include "fake/fake_collect_queries.h"
#include "fake/fake_os.h"
#include "fake/fake_registry.h"
#include "fake/fake_system_messages.h"
#include "platform/check_platform.h"

namespace lss::test {

struct FakeCheckPlatform {
  CallJournal journal;
  FakeCheckQueries queries;
  FakeScheduledTasks tasks;
  FakeEventLog eventLog;
  FakeProcess process{journal};
  FakeRegistry registry{&journal};
  FakeClock clock{LocalTime{2026, 12, 6, 16, 45, 9}};
  FakeSystemMessages messages;
  FakeCollectQueries collect{queries, registry};

  CheckPlatform bundle{queries, tasks, eventLog, process, registry, clock, messages, collect};
};

}  // namespace lss::test
