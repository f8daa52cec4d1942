#pragma once
// One fake of everything the program needs from the OS, on one fake machine:
// its own, or one given that outlives it.
#include "fake/fake_file_system.h"
#include "fake/fake_machine.h"
#include "fake/fake_os.h"
#include "fake/fake_system_messages.h"
#include "platform/platform.h"

namespace lss::test {

struct FakePlatform : OnFakeMachine {
  explicit FakePlatform(FakeMachine* shared = nullptr) : OnFakeMachine(shared) {}

  FakeProcess process{journal};
  FakeFileSystem files{disk, &journal};
  FakeShell shell{journal};
  FakeSync sync{journal, machine.objects};
  FakeMapi mapi{journal};
  FakeSystemMessages messages;
  FakeEnvironment environment{journal, machine.environment};

  Platform bundle{process, registry, clock, files, shell, sync, mapi, messages, environment};
};

}  // namespace lss::test
