#pragma once
// One fake of everything the check tool needs from the OS, on one fake
// machine: its own, or one given that outlives it.
#include <memory>

#include "fake/fake_check_os.h"
#include "fake/fake_collect_queries.h"
#include "fake/fake_machine.h"
#include "fake/fake_os.h"
#include "fake/fake_system_messages.h"
#include "platform/check_platform.h"

namespace lss::test {

struct FakeCheckPlatform {
  explicit FakeCheckPlatform(FakeMachine* shared = nullptr) : machine(OwnOrShared(own_, shared)) {}

 private:
  std::unique_ptr<FakeMachine> own_;

 public:
  FakeMachine& machine;
  CallJournal& journal = machine.journal;
  FakeRegistry& registry = machine.registry;
  FakeClock& clock = machine.clock;
  FakeDisk& disk = machine.disk;
  FakeCheckQueries queries{machine};
  FakeScheduledTasks tasks;
  FakeEventLog eventLog;
  FakeProcess process{journal};
  FakeSystemMessages messages;
  FakeCollectQueries collect{disk, registry};

  CheckPlatform bundle{queries, tasks, eventLog, process, registry, clock, messages, collect};
};

}  // namespace lss::test
