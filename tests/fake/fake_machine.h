#pragma once
// One fake machine: one registry with both views, one disk, one set of named
// objects, one clock, one journal of calls and one set of environment
// variables. The fakes of both programs' seams are built on one, so a test can
// set a machine up once and run the scheduler and then the check tool on it.
#include <memory>

#include "fake/call_journal.h"
#include "fake/fake_clock.h"
#include "fake/fake_disk.h"
#include "fake/fake_environment.h"
#include "fake/fake_named_objects.h"
#include "fake/fake_registry.h"

namespace lss::test {

struct FakeMachine {
  CallJournal journal;
  FakeRegistry registry{&journal};
  FakeDisk disk;
  FakeNamedObjects objects;
  FakeClock clock{LocalTime{2026, 12, 6, 16, 45, 9}, &journal};
  EnvironmentVariables environment;
};

// `shared` when given, otherwise a machine made into `own`.
inline FakeMachine& OwnOrShared(std::unique_ptr<FakeMachine>& own, FakeMachine* shared) {
  if (shared != nullptr) return *shared;
  own = std::make_unique<FakeMachine>();
  return *own;
}

}  // namespace lss::test
