// One fake machine under both programs: the check judges the log that a run
// of the scheduler left on the machine's disk.
#include <gtest/gtest.h>

#include "app/ls_scheduler_app.h"
#include "check_test_helpers.h"
#include "fake/fake_platform.h"

namespace lss::test {
namespace {

TEST(SharedMachine, TheCheckJudgesTheRunTheSchedulerLogged) {
  FakeMachine machine;
  machine.registry.SetString(kAppPaths, u"Path", u"C:\\Office\\");
  machine.registry.SetString(kSettings, u"LogDirectory", u"C:\\Logs");
  machine.disk.AddFolder(u"C:\\Logs");

  FakePlatform scheduler(&machine);
  scheduler.process.arguments = {u"LSScheduler.exe", u"-s", u"-e"};
  CLSSchedulerApp app;
  ASSERT_EQ(AppMain(app, scheduler.bundle), 0);

  FakeCheckPlatform check(&machine);
  CheckOptions options;
  options.only = {u"last-run"};
  const std::vector<CheckResult> results = RunChecks(check.bundle, options).results;
  ASSERT_EQ(results.size(), 1u);
  // Nobody held the add-in's mutex, so the run's wait for it ended at once.
  EXPECT_EQ(results[0].status, kWarn);
  EXPECT_EQ(results[0].message,
            u"The run of 06-12-26 16:45:09 stopped waiting for the add-in in the second it began "
            u"(06-12-26 16:45:24): the add-in may not have started to synchronize. Raise "
            u"WaitSecondsForOutlookStart.");
  EXPECT_EQ(results[0].details.at(0),
            std::make_pair(std::u16string(u"file"),
                           std::u16string(u"C:\\Logs\\Scheduler061226164509.log")));
}

}  // namespace
}  // namespace lss::test
