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

// What the fakes of a program's seam stand on: one machine, its own or one
// given that outlives it.
struct OnFakeMachine {
  explicit OnFakeMachine(FakeMachine* shared)
      : own_(shared ? nullptr : std::make_unique<FakeMachine>()),
        machine(shared ? *shared : *own_) {}

 private:
  std::unique_ptr<FakeMachine> own_;

 public:
  FakeMachine& machine;
  CallJournal& journal = machine.journal;
  FakeRegistry& registry = machine.registry;
  FakeClock& clock = machine.clock;
  FakeDisk& disk = machine.disk;
};

}  // namespace lss::test
