#pragma once
// One fake of everything the program needs from the OS, sharing one journal.
#include <memory>

#include "fake/call_journal.h"
#include "fake/fake_clock.h"
#include "fake/fake_environment.h"
#include "fake/fake_file_system.h"
#include "fake/fake_os.h"
#include "fake/fake_registry.h"
#include "fake/fake_system_messages.h"
#include "platform/platform.h"

namespace lss::test {

struct FakePlatform {
  CallJournal journal;
  FakeProcess process{journal};
  FakeRegistry registry{&journal};
  FakeClock clock{LocalTime{2026, 12, 6, 16, 45, 9}, &journal};
  FakeFileSystem files{&journal};
  FakeShell shell{journal};
  FakeSync sync{journal};
  FakeMapi mapi{journal};
  FakeSystemMessages messages;
  FakeEnvironment environment{journal};

  Platform bundle{process, registry, clock, files, shell, sync, mapi, messages, environment};
};

}  // namespace lss::test
