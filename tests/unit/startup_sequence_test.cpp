#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <string>
#include <vector>

#include "app/ls_scheduler_app.h"
#include "common/rows.h"
#include "diag/exceptions.h"
#include "fake/fake_platform.h"
#include "unit_tables.h"

namespace lss {
namespace {

using test::PrintTo;

constexpr std::u16string_view kSettings = u"HKCU\\Software\\Brinmoor\\Larkspan\\Settings";
// Journal lines of the settings' values, less the value's name.
const std::string kQuery = "RegQueryValue HKCU\\Software\\Brinmoor\\Larkspan\\Settings ";
const std::string kSet = "RegSetValue HKCU\\Software\\Brinmoor\\Larkspan\\Settings ";
constexpr std::u16string_view kAppPaths =
    u"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\OUTLOOK.EXE";

class StartupTest : public testing::Test {
 protected:
  int Run(std::vector<std::u16string> arguments) {
    os.process.arguments.insert(os.process.arguments.end(), arguments.begin(), arguments.end());
    CLSSchedulerApp app;
    return AppMain(app, os.bundle);
  }
  // Every owned object is released, whatever the run did.
  void TearDown() override {
    EXPECT_EQ(os.process.comDepth, 0);
    EXPECT_EQ(os.sync.openHandles, 0);
    EXPECT_EQ(os.registry.openHandles(), 0u);
  }
  void InstallOutlook() { os.registry.SetString(kAppPaths, u"Path", u"C:\\Office\\"); }
  void ConfigureLog() {
    os.disk.AddFolder(u"C:\\Logs");
    os.registry.SetString(kSettings, u"LogDirectory", u"C:\\Logs");
  }
  // The log's entries without their stamps; none without a log.
  std::vector<std::string> LogEntries() {
    const auto paths = os.disk.FilePaths();
    if (paths.size() > 1) return {"<" + std::to_string(paths.size()) + " log files>"};
    return paths.empty() ? std::vector<std::string>{}
                         : test::EntriesOf(*os.disk.Contents(paths[0]));
  }
  // The position of the first journal line, at or after `from`, that is
  // `step` or starts with `step` and a blank; -1 when there is none.
  std::ptrdiff_t Step(std::string_view step, std::ptrdiff_t from = 0) {
    const auto& lines = os.journal.lines();
    for (auto i = std::max<std::ptrdiff_t>(from, 0); i < std::ssize(lines); ++i) {
      const std::string& line = lines[static_cast<std::size_t>(i)];
      if (line == step || (line.rfind(step, 0) == 0 && line[step.size()] == ' ')) return i;
    }
    return -1;
  }
  // The steps, each followed by |, are in the journal in this order.
  void ExpectSteps(std::string_view steps) {
    std::ptrdiff_t at = -1;
    for (std::size_t end; (end = steps.find('|')) != steps.npos; steps.remove_prefix(end + 1)) {
      at = Step(steps.substr(0, end), at + 1);
      ASSERT_GE(at, 0) << steps.substr(0, end) << " missing or out of order";
    }
  }

  test::FakePlatform os;
};

// How a path setting expands and where a log may be opened are the settings'
// and the log's own tables; here only what the run hands from one to the other.
// The hand-off values a start writes are the Wine suite's (HandOff).
TEST_F(StartupTest, NoArgumentsOpensTheLogAndDoesNothingElse) {
  os.environment.variables[u"LOCALAPPDATA"] = u"C:\\Local";
  os.disk.AddFolder(u"C:\\%LOCALAPPDATA%\\Logs");
  os.registry.SetString(kSettings, u"LogDirectory", u"C:\\%LOCALAPPDATA%\\Logs");
  EXPECT_EQ(Run({}), 0);
  EXPECT_EQ(os.disk.Contents(u"C:\\%LOCALAPPDATA%\\Logs\\Scheduler061226164509.log"), "");
  EXPECT_EQ(Step(kQuery + "BlockToolbarLoad"), -1);
  // An existing folder given as REG_SZ, % kept, no retention: no call beyond the log's own.
  for (const char* call : {"ExpandEnvironmentStrings", "CreateDirectory", "FindFirstFile",
                           "DeleteFile", "ShellExecute"}) {
    EXPECT_EQ(os.journal.Matching(call), std::vector<std::string>{}) << call;
  }
  EXPECT_EQ(os.journal.Matching("CreateFile").size(), 1u);
}

TEST_F(StartupTest, StepsRunInTheirFixedOrder) {
  InstallOutlook();
  ConfigureLog();
  os.registry.SetDword(kSettings, u"WaitSecondsForOutlookStart", 2);
  os.registry.SetDword(kSettings, u"LogRetentionDays", 30);
  os.disk.AddFile(u"C:\\Logs\\Scheduler051126164509.log", "old");
  EXPECT_EQ(Run({u"-s", u"-e"}), 0);
  const std::string admin =
      "RegSetValue HKCU\\Software\\Brinmoor\\Larkspan\\Settings\\AdminOptions ";
  ExpectSteps(
      kQuery + "BlockToolbarLoadOrg|" + admin + "TaskName|" + admin + "TaskRun|" + admin +
      "AutoRunExit|CoInitialize|" + kQuery + "LogDirectory|" +
      "CreateFile C:\\Logs\\Scheduler061226164509.log|" + kQuery +
      "LogRetentionDays|FindFirstFile C:\\Logs|DeleteFile C:\\Logs\\Scheduler051126164509.log|" +
      kQuery + "BlockToolbarLoad|" + kSet + "BlockToolbarLoad|" + kSet + "BlockToolbarLoadOrg|" +
      kQuery + "WaitSecondsForOutlookStart|ShellExecute|Sleep 2000|" +
      "MAPIInitialize|MAPIUninitialize|ReleaseMutex|CloseMutex|" + kSet + "BlockToolbarLoad|" +
      kSet + "BlockToolbarLoadOrg|CoUninitialize|");
}

// Given WaitSecondsForOutlookStart as stored (none: missing), how long a start
// waits for Outlook and the value stored afterwards.
struct WaitCase {
  const char* what;
  std::optional<std::uint32_t> stored;
  std::uint32_t expectedSleep;
  std::optional<std::int32_t> storedAfter;
};

class OutlookStartWait : public StartupTest, public testing::WithParamInterface<WaitCase> {};

TEST_P(OutlookStartWait, DefaultsAndSaturates) {
  const WaitCase& c = GetParam();
  InstallOutlook();
  if (c.stored) os.registry.SetDword(kSettings, u"WaitSecondsForOutlookStart", *c.stored);
  Run({u"-s"});
  EXPECT_EQ(os.clock.sleeps(), std::vector<std::uint32_t>{c.expectedSleep});
  EXPECT_EQ(os.registry.GetDword(kSettings, u"WaitSecondsForOutlookStart"), c.storedAfter);
  EXPECT_EQ(Step(kSet + "WaitSecondsForOutlookStart") >= 0,
            !c.stored || static_cast<std::int32_t>(*c.stored) < 1);
}

const WaitCase kWaits[] = {
    {.what = "missing: 15 seconds, stored",
     .stored = std::nullopt,
     .expectedSleep = 15000,
     .storedAfter = 15},
    {.what = "0: 15 seconds, stored", .stored = 0, .expectedSleep = 15000, .storedAfter = 15},
    {.what = "minus one: 15 seconds, stored",
     .stored = 0xFFFFFFFF,
     .expectedSleep = 15000,
     .storedAfter = 15},
    {.what = "the most negative value: 15 seconds, stored",
     .stored = 0x80000000,
     .expectedSleep = 15000,
     .storedAfter = 15},
    {.what = "1 second", .stored = 1, .expectedSleep = 1000, .storedAfter = 1},
    {.what = "an hour", .stored = 3600, .expectedSleep = 3600000, .storedAfter = 3600},
    {.what = "4294967 seconds: the most milliseconds that fit",
     .stored = 4294967,
     .expectedSleep = 4294967000u,
     .storedAfter = 4294967},
    {.what = "4294968 seconds wait 0xFFFFFFFE milliseconds",
     .stored = 4294968,
     .expectedSleep = 0xFFFFFFFE,
     .storedAfter = 4294968},
    {.what = "the largest value waits 0xFFFFFFFE milliseconds",
     .stored = 0x7FFFFFFF,
     .expectedSleep = 0xFFFFFFFE,
     .storedAfter = 0x7FFFFFFF},
};

INSTANTIATE_TEST_SUITE_P(, OutlookStartWait, testing::ValuesIn(kWaits), test::RowName);

// A failure while the run goes on, and what it leaves: the report logged (if
// any), the last entry, the toolbar values; the exit code is 0 whatever
// happens.
enum class Fault {
  kMapiError,          // both initializations fail with 0x80040111
  kMutex,              // the mutex cannot be created
  kOutOfMemoryInWait,  // thrown by the read of AutoRunExit
  kOleErrorInWait,
  kOtherInWait,      // of no kind the application catches
  kOleErrorAtStart,  // thrown by the first setting read, before the log
  kEverySeek,        // every log write fails
};
struct FailureCase {
  const char* what;
  Fault fault;
  bool reportOutOfMemory;  // so does the lookup of the error's text
  std::string report;      // empty: no report is logged
  std::string last = "De-Block Larkspan Toolbar Load";
  std::optional<std::int32_t> blockAfter = 0, orgAfter = -1;
};

class RunFailures : public StartupTest, public testing::WithParamInterface<FailureCase> {};

// A framework exception is made on the heap where it is thrown; LeakSanitizer
// reports it when the catcher does not dispose of it.
TEST_P(RunFailures, AreCaughtReportedOnceAndReleaseEverything) {
  const FailureCase& c = GetParam();
  SCOPED_TRACE(c.what);
  InstallOutlook();
  ConfigureLog();
  os.registry.SetDword(kSettings, u"WaitSecondsForOutlookStart", 1);
  if (c.fault == Fault::kMapiError) os.mapi.initializeResults.assign(2, HResult(0x80040111));
  os.sync.failCreate = c.fault == Fault::kMutex;
  os.sync.waitResults = {wait_result::kFailed};  // so the wait reads AutoRunExit
  os.registry.beforeQuery = [&c](const std::u16string&, std::u16string_view name) {
    struct Other {};
    const bool inWait = name == u"AutoRunExit";
    if (c.fault == Fault::kOutOfMemoryInWait && inWait) throw std::bad_alloc();
    if ((c.fault == Fault::kOleErrorInWait && inWait) ||
        (c.fault == Fault::kOleErrorAtStart && name == u"BlockToolbarLoadOrg")) {
      throw new COleException(static_cast<std::int32_t>(0x80004005));
    }
    if (c.fault == Fault::kOtherInWait && inWait) throw Other{};
  };
  os.messages.RunOutOfMemory(c.reportOutOfMemory);
  os.files.FailSeekToEnd(c.fault == Fault::kEverySeek);
  EXPECT_EQ(Run({u"-s", u"-e"}), 0);
  const auto entries = LogEntries();
  EXPECT_EQ(
      std::count_if(entries.begin(), entries.end(),
                    [](const std::string& e) { return e.rfind("LSScheduler Error", 0) == 0; }),
      c.report.empty() ? 0 : 1);
  if (!c.report.empty()) {
    ASSERT_GE(entries.size(), 2u);
    EXPECT_EQ(entries[entries.size() - 2], c.report);
  }
  EXPECT_EQ(entries.empty() ? "" : entries.back(), c.last);
  EXPECT_EQ(os.registry.GetDword(kSettings, u"BlockToolbarLoad"), c.blockAfter);
  EXPECT_EQ(os.registry.GetDword(kSettings, u"BlockToolbarLoadOrg"), c.orgAfter);
}

const FailureCase kFailures[] = {
    {.what = "a MAPI error",
     .fault = Fault::kMapiError,
     .report = "LSScheduler Error: Code = 80040111,Meaning = Unknown error "
               "0x80040111,Source = (null),Description = (null)"},
    {.what = "a framework exception",
     .fault = Fault::kMutex,
     .report = "LSScheduler Error: Code = 8000ffff, Description = A required "
               "resource was unavailable."},
    {.what = "out of memory",
     .fault = Fault::kOutOfMemoryInWait,
     .report = "LSScheduler Error: Code = 8000ffff, Description = Out of memory."},
    {.what = "a MAPI error whose text runs out of memory",
     .fault = Fault::kMapiError,
     .reportOutOfMemory = true,
     .report = "LSScheduler Error: Code = 80040111,Meaning = (null),Source = "
               "(null),Description = (null)"},
    {.what = "an OLE error whose report runs out of memory",
     .fault = Fault::kOleErrorInWait,
     .reportOutOfMemory = true},
    // It ends the run and leaves the block pending.
    {.what = "an error of another kind",
     .fault = Fault::kOtherInWait,
     .last = "KSScheduler: Waiting for Larkspan",
     .blockAfter = 1,
     .orgAfter = 0},
    {.what = "a heap exception reaches the entry",
     .fault = Fault::kOleErrorAtStart,
     .last = "",
     .blockAfter = std::nullopt,
     .orgAfter = std::nullopt},
    {.what = "a failed log write reported through a failing one",
     .fault = Fault::kEverySeek,
     .last = ""},
};

INSTANTIATE_TEST_SUITE_P(, RunFailures, testing::ValuesIn(kFailures), test::RowName);

TEST_F(StartupTest, AnUnavailableStoreStillRunsToTheEnd) {
  os.registry.FailKey(u"HKCU\\Software");
  InstallOutlook();
  EXPECT_EQ(Run({u"-s", u"-e"}), 0);
  EXPECT_EQ(os.clock.sleeps(), std::vector<std::uint32_t>{15000});
  EXPECT_EQ(os.journal.Matching("MAPIUninitialize").size(), 1u);
}

// Given the toolbar values before the start and the options, the values
// while the session runs and after the run. A launch that fails (the
// launcher's own table says which do) runs no MAPI call at all.
struct ToolbarCase {
  const char* what;
  std::optional<std::int32_t> blockBefore, orgBefore;
  std::vector<std::u16string> arguments;
  std::optional<std::int32_t> blockDuring, orgDuring;
  std::optional<std::int32_t> blockAfter, orgAfter;
  bool logged;
  std::intptr_t shellResult = 42;
};

class ToolbarGuard : public StartupTest, public testing::WithParamInterface<ToolbarCase> {};

TEST_P(ToolbarGuard, BlocksTheToolbarForTheSessionAndRestoresWhatWasThere) {
  const ToolbarCase& c = GetParam();
  SCOPED_TRACE(c.what);
  InstallOutlook();
  os.shell.result = c.shellResult;
  ConfigureLog();
  for (const auto& [name, value] : {std::pair(u"BlockToolbarLoad", c.blockBefore),
                                    std::pair(u"BlockToolbarLoadOrg", c.orgBefore)}) {
    if (value) os.registry.SetDword(kSettings, name, static_cast<std::uint32_t>(*value));
  }
  std::optional<std::int32_t> blockDuring, orgDuring;
  os.registry.beforeQuery = [&](const std::u16string&, std::u16string_view name) {
    if (name == u"WaitSecondsForOutlookStart") {
      blockDuring = os.registry.GetDword(kSettings, u"BlockToolbarLoad");
      orgDuring = os.registry.GetDword(kSettings, u"BlockToolbarLoadOrg");
    }
  };
  Run(c.arguments);
  // -e alone behaves like no arguments: nothing started, nothing waited for.
  const bool start = std::find(c.arguments.begin(), c.arguments.end(), u"-s") != c.arguments.end();
  EXPECT_EQ(os.journal.Matching("ShellExecute").size(), start ? 1u : 0u);
  EXPECT_EQ(os.registry.Get(kSettings, u"WaitSecondsForOutlookStart").has_value(), start);
  if (start) {
    EXPECT_EQ(blockDuring, c.blockDuring);
    EXPECT_EQ(orgDuring, c.orgDuring);
  }
  EXPECT_EQ(os.registry.GetDword(kSettings, u"BlockToolbarLoad"), c.blockAfter);
  EXPECT_EQ(os.registry.GetDword(kSettings, u"BlockToolbarLoadOrg"), c.orgAfter);
  const auto entries = LogEntries();
  const bool logged =
      std::count(entries.begin(), entries.end(), "Block Larkspan Toolbar Load") == 1 &&
      std::count(entries.begin(), entries.end(), "De-Block Larkspan Toolbar Load") == 1;
  EXPECT_EQ(logged, c.logged);
  if (c.shellResult <= 32) {
    EXPECT_EQ(os.journal.Matching("MAPI"), std::vector<std::string>{});
    EXPECT_EQ(os.clock.sleeps(), std::vector<std::uint32_t>{});
  }
}

const ToolbarCase kToolbarRows[] = {
    {.what = "first run",
     .arguments = {u"-s", u"-e"},
     .blockDuring = 1,
     .orgDuring = 0,
     .blockAfter = 0,
     .orgAfter = -1,
     .logged = true},
    {.what = "allowed",
     .blockBefore = 0,
     .orgBefore = -1,
     .arguments = {u"-s", u"-e"},
     .blockDuring = 1,
     .orgDuring = 0,
     .blockAfter = 0,
     .orgAfter = -1,
     .logged = true},
    {.what = "other prior value",
     .blockBefore = 5,
     .orgBefore = -1,
     .arguments = {u"-s", u"-e"},
     .blockDuring = 1,
     .orgDuring = 0,
     .blockAfter = 5,
     .orgAfter = -1,
     .logged = true},
    {.what = "already blocked",
     .blockBefore = 1,
     .orgBefore = -1,
     .arguments = {u"-s", u"-e"},
     .blockDuring = 1,
     .orgDuring = -1,
     .blockAfter = 1,
     .orgAfter = -1,
     .logged = false},
    {.what = "no -e",
     .blockBefore = 0,
     .orgBefore = -1,
     .arguments = {u"-s"},
     .blockDuring = 0,
     .orgDuring = -1,
     .blockAfter = 0,
     .orgAfter = -1,
     .logged = false},
    {.what = "no -s", .blockBefore = 5, .arguments = {u"-e"}, .blockAfter = 5, .logged = false},
    {.what = "killed run, then -s -e",
     .blockBefore = 1,
     .orgBefore = 0,
     .arguments = {u"-s", u"-e"},
     .blockDuring = 1,
     .orgDuring = 0,
     .blockAfter = 0,
     .orgAfter = -1,
     .logged = true},
    {.what = "pending value set by hand",
     .blockBefore = 0,
     .orgBefore = 1,
     .arguments = {u"-s", u"-e"},
     .blockDuring = 1,
     .orgDuring = -1,
     .blockAfter = 1,
     .orgAfter = -1,
     .logged = false},
    {.what = "start refused",
     .blockBefore = 0,
     .orgBefore = -1,
     .arguments = {u"-s", u"-e"},
     .blockDuring = 1,
     .orgDuring = 0,
     .blockAfter = 0,
     .orgAfter = -1,
     .logged = true,
     .shellResult = 2},
};

INSTANTIATE_TEST_SUITE_P(, ToolbarGuard, testing::ValuesIn(kToolbarRows), test::RowName);

}  // namespace
}  // namespace lss
