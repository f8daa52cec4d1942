#pragma once
// One fake of everything the check tool needs from the OS, on one fake
// machine: its own, or one given that outlives it.
#include "fake/fake_check_os.h"
#include "fake/fake_environment.h"
#include "fake/fake_file_system.h"
#include "fake/fake_machine.h"
#include "fake/fake_os.h"
#include "fake/fake_system_messages.h"
#include "platform/check_platform.h"

namespace lss::test {

struct FakeCheckPlatform : OnFakeMachine {
  explicit FakeCheckPlatform(FakeMachine* shared = nullptr) : OnFakeMachine(shared) {}

  FakeCheckQueries queries{machine};
  FakeScheduledTasks tasks;
  FakeEventLog eventLog;
  FakeProcess process{journal};
  FakeSystemMessages messages;
  FakeFileSystem files{disk, &journal};
  FakeEnvironment environment{journal, machine.environment};

  CheckPlatform bundle{queries, tasks,    eventLog, process,    registry,
                       clock,   messages, files,    environment};
};

}  // namespace lss::test
