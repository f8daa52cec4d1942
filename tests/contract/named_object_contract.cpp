// What named mutexes do, through the scheduler's Sync and the check tool's
// look at a mutex: free, held by another thread, abandoned by one, missing,
// or a name that belongs to another kind of object.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "common/rows.h"
#include "contract/contract_machine.h"

namespace lss::contract {
namespace {

enum class Holder {
  kNothing,          // nothing has the name
  kFree,             // a mutex nobody owns
  kOtherThread,      // a mutex another thread owns
  kEndedThread,      // a mutex whose owning thread ended
  kEvent,            // an event
  kOtherCaseHolder,  // a mutex another thread owns, under the name in upper case
};

class NamedObjectContract : public testing::Test {
 protected:
  // Gives the name its holder. A handle kept open here keeps the object alive.
  void Prepare(Holder holder) {
    switch (holder) {
      case Holder::kNothing: break;
      case Holder::kFree: keeper_ = sync.OpenNamedMutex(name); break;
      case Holder::kOtherThread: machine->HoldOnOtherThread(name); break;
      case Holder::kEndedThread:
        keeper_ = sync.OpenNamedMutex(name);
        machine->RunOnOtherThread([&] {
          const MutexHandle mine = sync.OpenNamedMutex(name);
          sync.WaitForMutex(mine, 0);
          sync.CloseMutex(mine);  // the thread still owns it, and ends so
        });
        break;
      case Holder::kEvent: machine->PutOtherObject(name); break;
      case Holder::kOtherCaseHolder: {
        std::u16string upper = name;
        for (std::size_t i = kMutexPrefix.size(); i < upper.size(); ++i) {
          if (upper[i] >= u'a' && upper[i] <= u'z') upper[i] = char16_t(upper[i] - 32);
        }
        machine->HoldOnOtherThread(upper);
        break;
      }
    }
  }
  void TearDown() override {
    if (keeper_ != 0) sync.CloseMutex(keeper_);
  }

  std::unique_ptr<ContractMachine> machine = MakeContractMachine();
  Sync& sync = machine->sync();
  // One name per test, in lower case after the prefix.
  std::u16string name = std::u16string(kMutexPrefix) + TestName();

 private:
  static std::u16string TestName() {
    const testing::TestInfo& test = *testing::UnitTest::GetInstance()->current_test_info();
    std::u16string text;
    for (const char c : std::string(test.test_suite_name()) + "_" + test.name()) {
      const bool keep = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
      text.push_back(keep ? char16_t(c) : c >= 'A' && c <= 'Z' ? char16_t(c + 32) : u'_');
    }
    return text;
  }

  MutexHandle keeper_ = 0;
};

// --- the scheduler's mutex -------------------------------------------------------

struct MutexCase {
  const char* what;
  Holder holder;
  bool opens;
  std::uint32_t wait;             // each of our waits of 0 ms after opening
  bool released;                  // each of our releases, one per wait
  std::uint32_t otherThreadWait;  // another thread's wait of 0 ms after our last release
  int waits = 1;
};

class NamedMutex : public NamedObjectContract, public testing::WithParamInterface<MutexCase> {};

// The opener does not own the mutex: ownership comes with a wait, once per
// wait, and goes with as many releases; until the last, another thread's
// wait times out.
TEST_P(NamedMutex, IsOwnedByTheWaitThatTookIt) {
  const MutexCase& c = GetParam();
  Prepare(c.holder);
  const MutexHandle mutex = sync.OpenNamedMutex(name);
  ASSERT_EQ(mutex != 0, c.opens) << c.what;
  if (mutex == 0) return;
  for (int i = 0; i < c.waits; ++i) EXPECT_EQ(sync.WaitForMutex(mutex, 0), c.wait) << c.what;
  for (int left = c.waits - 1; left >= 0; --left) {
    EXPECT_EQ(sync.ReleaseHeldMutex(mutex), c.released) << c.what;
    std::uint32_t otherThread = wait_result::kFailed;
    machine->RunOnOtherThread([&] {
      otherThread = sync.WaitForMutex(mutex, 0);
      if (otherThread == wait_result::kObject0) sync.ReleaseHeldMutex(mutex);
    });
    EXPECT_EQ(otherThread, left > 0 ? wait_result::kTimeout : c.otherThreadWait)
        << c.what << ": with " << left << " releases to go";
  }
  EXPECT_FALSE(sync.ReleaseHeldMutex(mutex)) << c.what << ": released more often than taken";
  sync.CloseMutex(mutex);
}

using namespace wait_result;  // NOLINT(google-build-using-namespace): the table reads better

const MutexCase kMutexes[] = {
    {.what = "a new name",
     .holder = Holder::kNothing,
     .opens = true,
     .wait = kObject0,
     .released = true,
     .otherThreadWait = kObject0},
    {.what = "one thread takes a mutex as often as it waits",
     .holder = Holder::kNothing,
     .opens = true,
     .wait = kObject0,
     .released = true,
     .otherThreadWait = kObject0,
     .waits = 2},
    {.what = "an existing free mutex",
     .holder = Holder::kFree,
     .opens = true,
     .wait = kObject0,
     .released = true,
     .otherThreadWait = kObject0},
    {.what = "a mutex another thread holds",
     .holder = Holder::kOtherThread,
     .opens = true,
     .wait = kTimeout,
     .released = false,
     .otherThreadWait = kTimeout},
    {.what = "a mutex whose owner ended: taken, and free once released",
     .holder = Holder::kEndedThread,
     .opens = true,
     .wait = kAbandoned,
     .released = true,
     .otherThreadWait = kObject0},
    {.what = "the name of an event",
     .holder = Holder::kEvent,
     .opens = false,
     .wait = 0,
     .released = false,
     .otherThreadWait = 0},
    {.what = "the name in another case is another mutex",
     .holder = Holder::kOtherCaseHolder,
     .opens = true,
     .wait = kObject0,
     .released = true,
     .otherThreadWait = kObject0},
};

INSTANTIATE_TEST_SUITE_P(, NamedMutex, testing::ValuesIn(kMutexes), test::RowName);

// --- the check tool's look at a mutex ------------------------------------------

struct LookCase {
  const char* what;
  Holder holder;
  MutexState state;
  MutexState secondLook;  // from another thread, after the first
};

class MutexLook : public NamedObjectContract, public testing::WithParamInterface<LookCase> {};

// The look creates nothing and gives back what its wait took, so a second
// look from another thread finds the mutex as the first left it.
TEST_P(MutexLook, FindsTheStateAndLeavesNothingBehind) {
  const LookCase& c = GetParam();
  Prepare(c.holder);
  CheckQueries& queries = machine->queries();
  const MutexProbe first = queries.ProbeMutex(name);
  EXPECT_EQ(first.state, c.state) << c.what;
  EXPECT_EQ(first.error, 0) << c.what;
  std::optional<MutexState> second;
  machine->RunOnOtherThread([&] { second = queries.ProbeMutex(name).state; });
  EXPECT_EQ(second, c.secondLook) << c.what;
}

const LookCase kLooks[] = {
    {.what = "a missing name",
     .holder = Holder::kNothing,
     .state = MutexState::kMissing,
     .secondLook = MutexState::kMissing},
    {.what = "a free mutex",
     .holder = Holder::kFree,
     .state = MutexState::kFree,
     .secondLook = MutexState::kFree},
    {.what = "a mutex another thread holds",
     .holder = Holder::kOtherThread,
     .state = MutexState::kHeld,
     .secondLook = MutexState::kHeld},
    {.what = "a mutex whose owner ended",
     .holder = Holder::kEndedThread,
     .state = MutexState::kAbandoned,
     .secondLook = MutexState::kFree},
    {.what = "the name of an event",
     .holder = Holder::kEvent,
     .state = MutexState::kOtherObject,
     .secondLook = MutexState::kOtherObject},
    {.what = "the name in another case",
     .holder = Holder::kOtherCaseHolder,
     .state = MutexState::kMissing,
     .secondLook = MutexState::kMissing},
};

INSTANTIATE_TEST_SUITE_P(, MutexLook, testing::ValuesIn(kLooks), test::RowName);

}  // namespace
}  // namespace lss::contract
