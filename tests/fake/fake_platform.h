#pragma once
// One fake of everything the program needs from the OS, on one fake machine:
// its own, or one given that outlives it.
#include <memory>

#include "fake/fake_file_system.h"
#include "fake/fake_machine.h"
#include "fake/fake_os.h"
#include "fake/fake_system_messages.h"
#include "platform/platform.h"

namespace lss::test {

struct FakePlatform {
  explicit FakePlatform(FakeMachine* shared = nullptr) : machine(OwnOrShared(own_, shared)) {}

 private:
  std::unique_ptr<FakeMachine> own_;

 public:
  FakeMachine& machine;
  CallJournal& journal = machine.journal;
  FakeRegistry& registry = machine.registry;
  FakeClock& clock = machine.clock;
  FakeDisk& disk = machine.disk;
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
