#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <string>
#include <vector>

#include "app/ls_scheduler_app.h"
#include "diag/exceptions.h"
#include "fake/fake_platform.h"

namespace lss {
namespace {

constexpr auto CaseIndex = [](const auto& info) { return std::to_string(info.index); };

constexpr std::u16string_view kSettings = u"HKCU\\Software\\Brinmoor\\Larkspan\\Settings";
constexpr std::u16string_view kAdmin = u"HKCU\\Software\\Brinmoor\\Larkspan\\Settings\\AdminOptions";
constexpr std::u16string_view kAppPaths =
    u"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\OUTLOOK.EXE";

class StartupTest : public testing::Test {
 protected:
  int Run(std::vector<std::u16string> arguments) {
    os.process.arguments.insert(os.process.arguments.end(), arguments.begin(), arguments.end());
    CLSSchedulerApp app;
    return AppMain(app, os.bundle);
  }
  void InstallOutlook() { os.registry.SetString(kAppPaths, u"Path", u"C:\\Office\\"); }
  void ConfigureLog() {
    os.disk.AddFolder(u"C:\\Logs");
    os.registry.SetString(kSettings, u"LogDirectory", u"C:\\Logs");
  }
  // The log's entries without their stamps.
  std::vector<std::string> LogEntries() {
    const auto paths = os.disk.FilePaths();
    if (paths.size() != 1) return {"<" + std::to_string(paths.size()) + " log files>"};
    const std::string bytes = *os.disk.Contents(paths[0]);
    std::vector<std::string> entries;
    for (std::size_t at = 0; (at = bytes.find("\r\n", at)) != std::string::npos;) {
      const std::size_t next = bytes.find("\r\n", at + 2);
      entries.push_back(bytes.substr(at + 2 + 19, next == std::string::npos ? std::string::npos
                                                                              : next - at - 21));
      at += 2;
    }
    return entries;
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

  test::FakePlatform os;
};

TEST_F(StartupTest, NoArgumentsWritesTheHandOffValuesAndNothingElse) {
  ConfigureLog();
  EXPECT_EQ(Run({}), 0);
  EXPECT_EQ(os.registry.Get(kAdmin, u"TaskName")->data, (std::vector<std::uint8_t>{0, 0}));
  EXPECT_EQ(os.registry.GetDword(kAdmin, u"TaskRun"), 1);
  EXPECT_EQ(os.registry.GetDword(kAdmin, u"AutoRunExit"), 0);
  EXPECT_EQ(os.registry.ValueCount(kSettings), 1u);  // LogDirectory alone
  EXPECT_EQ(os.disk.Contents(u"C:\\Logs\\Scheduler061226164509.log"), "");
  EXPECT_EQ(os.shell.calls, 0);
  EXPECT_EQ(Step("RegQueryValue HKCU\\Software\\Brinmoor\\Larkspan\\Settings BlockToolbarLoad"), -1);
  EXPECT_EQ(os.process.comDepth, 0);
  EXPECT_EQ(os.registry.openHandles(), 0u);
  // An existing folder given as REG_SZ, no retention: no call beyond the log's own.
  for (const char* call : {"ExpandEnvironmentStrings", "CreateDirectory", "FindFirstFile",
                           "DeleteFile"}) {
    EXPECT_EQ(os.journal.Matching(call), std::vector<std::string>{}) << call;
  }
  EXPECT_EQ(os.journal.Matching("CreateFile").size(), 1u);
}

// Given LogDirectory's type and text, where the log of a run goes; nothing
// for no log. The run goes on the same either way.
struct LogFolderCase {
  const char* what;
  std::uint32_t type;
  std::u16string stored;
  std::u16string logFile;
  bool denyCreateFolder = false;
};

void PrintTo(const LogFolderCase& c, std::ostream* out) { *out << c.what; }

class LogFolderSetting : public StartupTest, public testing::WithParamInterface<LogFolderCase> {};

TEST_P(LogFolderSetting, NamesTheFolderTheRunCreatesAndLogsIn) {
  const LogFolderCase& c = GetParam();
  os.disk.AddFolder(u"C:\\");
  os.files.DenyCreateFolder(c.denyCreateFolder);
  os.environment.variables[u"LOCALAPPDATA"] = u"C:\\Users\\ana\\AppData\\Local";
  os.environment.variables[u"DEEP"] = std::u16string(300, u'd');
  std::vector<std::uint8_t> data;
  for (const char16_t unit : c.stored + u'\0') {
    data.push_back(static_cast<std::uint8_t>(unit));
    data.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  os.registry.Set(kSettings, u"LogDirectory", c.type, data);
  EXPECT_EQ(Run({u"-n", u"Nightly"}), 0) << c.what;
  const std::vector<std::u16string> expected =
      c.logFile.empty() ? std::vector<std::u16string>{} : std::vector{c.logFile};
  EXPECT_EQ(os.disk.FilePaths(), expected) << c.what;
  if (!c.logFile.empty()) {
    EXPECT_EQ(os.disk.Contents(c.logFile), "") << c.what;
  }
  EXPECT_EQ(os.registry.GetDword(kAdmin, u"TaskRun"), 1) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, LogFolderSetting,
    testing::Values(
        LogFolderCase{"REG_SZ keeps % literal", reg::kSz, u"C:\\%LOCALAPPDATA%\\Logs",
                      u"C:\\%LOCALAPPDATA%\\Logs\\Scheduler061226164509.log"},
        LogFolderCase{"REG_EXPAND_SZ is expanded, its missing folders created", reg::kExpandSz,
                      u"%LOCALAPPDATA%\\Larkspan\\Logs",
                      u"C:\\Users\\ana\\AppData\\Local\\Larkspan\\Logs\\Scheduler061226164509.log"},
        LogFolderCase{"an unset variable stays as written", reg::kExpandSz, u"C:\\%NOSUCH%\\Logs",
                      u"C:\\%NOSUCH%\\Logs\\Scheduler061226164509.log"},
        LogFolderCase{"longer than MAX_PATH once expanded: no log, nothing cut short",
                      reg::kExpandSz, u"C:\\%DEEP%", u""},
        LogFolderCase{"creation refused: no log", reg::kExpandSz,
                      u"%LOCALAPPDATA%\\Larkspan\\Logs", u"", true}),
    CaseIndex);

TEST_F(StartupTest, AMissingFolderIsCreatedInTheStepOfTheLog) {
  os.disk.AddFolder(u"C:\\");
  os.registry.SetString(kSettings, u"LogDirectory", u"C:\\Logs\\Nightly");
  Run({});
  std::ptrdiff_t at = -1;
  for (const std::string step :
       {"CoInitialize", "RegQueryValue HKCU\\Software\\Brinmoor\\Larkspan\\Settings LogDirectory",
        "CreateFile C:\\Logs\\Nightly\\Scheduler061226164509.log", "CreateDirectory C:\\Logs",
        "CreateDirectory C:\\Logs\\Nightly",
        "CreateFile C:\\Logs\\Nightly\\Scheduler061226164509.log", "CoUninitialize"}) {
    at = Step(step, at + 1);
    ASSERT_GE(at, 0) << step << " missing or out of order";
  }
  EXPECT_EQ(os.disk.Contents(u"C:\\Logs\\Nightly\\Scheduler061226164509.log"), "");
}

TEST_F(StartupTest, RetentionDeletesTheOldLogsAfterOpeningItsOwnAndSaysNothing) {
  ConfigureLog();
  os.registry.SetDword(kSettings, u"LogRetentionDays", 30);
  os.disk.AddFile(u"C:\\Logs\\Scheduler051126164509.log", "old");
  os.disk.AddFile(u"C:\\Logs\\Scheduler011126000000.log", "old, read-only", true);
  os.disk.AddFile(u"C:\\Logs\\Scheduler071126000000.log", "recent");
  Run({});
  std::ptrdiff_t at = -1;
  for (const std::string step :
       {"CreateFile C:\\Logs\\Scheduler061226164509.log",
        "RegQueryValue HKCU\\Software\\Brinmoor\\Larkspan\\Settings LogRetentionDays",
        "FindFirstFile C:\\Logs", "CoUninitialize"}) {
    at = Step(step, at + 1);
    ASSERT_GE(at, 0) << step << " missing or out of order";
  }
  EXPECT_EQ(os.journal.Matching("DeleteFile"),
            (std::vector<std::string>{"DeleteFile C:\\Logs\\Scheduler011126000000.log",
                                      "DeleteFile C:\\Logs\\Scheduler051126164509.log"}));
  EXPECT_EQ(os.disk.FilePaths(),
            (std::vector<std::u16string>{u"C:\\Logs\\Scheduler011126000000.log",
                                         u"C:\\Logs\\Scheduler061226164509.log",
                                         u"C:\\Logs\\Scheduler071126000000.log"}));
  EXPECT_EQ(os.disk.Contents(u"C:\\Logs\\Scheduler061226164509.log"), "");  // not a word of it
}

TEST_F(StartupTest, StepsRunInTheirFixedOrder) {
  InstallOutlook();
  ConfigureLog();
  os.registry.SetDword(kSettings, u"WaitSecondsForOutlookStart", 2);
  EXPECT_EQ(Run({u"-s", u"-e", u"-n", u"Nightly"}), 0);
  const std::vector<std::string> steps{
      "RegQueryValue HKCU\\Software\\Brinmoor\\Larkspan\\Settings BlockToolbarLoadOrg",
      "RegSetValue HKCU\\Software\\Brinmoor\\Larkspan\\Settings\\AdminOptions TaskName",
      "RegSetValue HKCU\\Software\\Brinmoor\\Larkspan\\Settings\\AdminOptions TaskRun",
      "RegSetValue HKCU\\Software\\Brinmoor\\Larkspan\\Settings\\AdminOptions AutoRunExit",
      "CoInitialize",
      "RegQueryValue HKCU\\Software\\Brinmoor\\Larkspan\\Settings LogDirectory",
      "CreateFile C:\\Logs\\Scheduler061226164509.log",
      "RegQueryValue HKCU\\Software\\Brinmoor\\Larkspan\\Settings LogRetentionDays",
      "RegQueryValue HKCU\\Software\\Brinmoor\\Larkspan\\Settings BlockToolbarLoad",
      "RegSetValue HKCU\\Software\\Brinmoor\\Larkspan\\Settings BlockToolbarLoad",
      "RegSetValue HKCU\\Software\\Brinmoor\\Larkspan\\Settings BlockToolbarLoadOrg",
      "RegQueryValue HKCU\\Software\\Brinmoor\\Larkspan\\Settings WaitSecondsForOutlookStart",
      "ShellExecute",
      "Sleep 2000",
      "MAPIInitialize",
      "MAPIUninitialize",
      "ReleaseMutex",
      "CloseMutex",
      "RegSetValue HKCU\\Software\\Brinmoor\\Larkspan\\Settings BlockToolbarLoad",
      "RegSetValue HKCU\\Software\\Brinmoor\\Larkspan\\Settings BlockToolbarLoadOrg",
      "CoUninitialize"};
  std::ptrdiff_t at = -1;
  for (const std::string& step : steps) {
    at = Step(step, at + 1);
    ASSERT_GE(at, 0) << step << " missing or out of order";
  }
  EXPECT_EQ(os.registry.Get(kAdmin, u"TaskName")->data,
            (std::vector<std::uint8_t>{'N', 0, 'i', 0, 'g', 0, 'h', 0, 't', 0, 'l', 0, 'y', 0, 0, 0}));
  EXPECT_EQ(LogEntries(), (std::vector<std::string>{
                              "Block Larkspan Toolbar Load",
                              "KSScheduler: Starting Outlook C:\\Office\\OUTLOOK.EXE /recycle",
                              "KSScheduler: Waiting for Outlook",
                              "KSScheduler: MAPIInitialize",
                              "KSScheduler: MAPILogonEx",
                              "KSScheduler: Waiting for Larkspan",
                              "KSScheduler: MAPI Logoff",
                              "KSScheduler: MAPI MAPIUninitialize",
                              "De-Block Larkspan Toolbar Load"}));
  EXPECT_EQ(os.registry.GetDword(kSettings, u"BlockToolbarLoad"), 0);
  EXPECT_EQ(os.registry.GetDword(kSettings, u"BlockToolbarLoadOrg"), -1);
}

struct WaitCase {
  std::optional<std::uint32_t> stored;
  std::uint32_t expectedSleep;
  std::optional<std::int32_t> storedAfter;
};

void PrintTo(const WaitCase& c, std::ostream* out) {
  if (c.stored) {
    *out << "stored " << *c.stored;
  } else {
    *out << "nothing stored";
  }
}

class OutlookStartWait : public StartupTest, public testing::WithParamInterface<WaitCase> {};

TEST_P(OutlookStartWait, DefaultsAndSaturates) {
  const WaitCase& c = GetParam();
  InstallOutlook();
  if (c.stored) os.registry.SetDword(kSettings, u"WaitSecondsForOutlookStart", *c.stored);
  Run({u"-s"});
  EXPECT_EQ(os.clock.sleeps(), std::vector<std::uint32_t>{c.expectedSleep});
  EXPECT_EQ(os.registry.GetDword(kSettings, u"WaitSecondsForOutlookStart"), c.storedAfter);
  EXPECT_EQ(Step("RegSetValue HKCU\\Software\\Brinmoor\\Larkspan\\Settings WaitSecondsForOutlookStart") >= 0,
            !c.stored || static_cast<std::int32_t>(*c.stored) < 1);
}

INSTANTIATE_TEST_SUITE_P(
    Table, OutlookStartWait,
    testing::Values(WaitCase{std::nullopt, 15000, 15}, WaitCase{0, 15000, 15},
                    WaitCase{0xFFFFFFFF, 15000, 15}, WaitCase{0x80000000, 15000, 15},
                    WaitCase{1, 1000, 1}, WaitCase{3600, 3600000, 3600},
                    WaitCase{4294967, 4294967000u, 4294967},
                    WaitCase{4294968, 0xFFFFFFFE, 4294968},
                    WaitCase{0x7FFFFFFF, 0xFFFFFFFE, 0x7FFFFFFF}), CaseIndex);

TEST_F(StartupTest, ExitAloneBehavesLikeNoArguments) {
  InstallOutlook();
  Run({u"-e"});
  EXPECT_EQ(os.shell.calls, 0);
  EXPECT_FALSE(os.registry.Get(kSettings, u"BlockToolbarLoad"));
  EXPECT_FALSE(os.registry.Get(kSettings, u"WaitSecondsForOutlookStart"));
}

enum class Thrown { kNothing, kOutOfMemory, kOleError };

// An error the session raises, caught at the application level.
struct CaughtErrorCase {
  const char* what;
  std::vector<HResult> initializeResults;
  bool failMutex;
  Thrown waitThrows;  // what the wait for the add-in throws
  std::string report;  // empty: no report is logged
  bool reportOutOfMemory = false;  // so does the lookup of the error's text
};

void PrintTo(const CaughtErrorCase& c, std::ostream* out) { *out << c.what; }

class CaughtErrors : public StartupTest, public testing::WithParamInterface<CaughtErrorCase> {};

TEST_P(CaughtErrors, AreLoggedOnceAndTheToolbarStillRestored) {
  const CaughtErrorCase& c = GetParam();
  InstallOutlook();
  ConfigureLog();
  os.registry.SetDword(kSettings, u"WaitSecondsForOutlookStart", 1);
  os.mapi.initializeResults.assign(c.initializeResults.begin(), c.initializeResults.end());
  os.sync.failCreate = c.failMutex;
  if (c.waitThrows != Thrown::kNothing) {
    os.sync.waitResults = {wait_result::kFailed};
    os.registry.beforeQuery = [&c](const std::u16string&, std::u16string_view name) {
      if (name != u"AutoRunExit") return;
      if (c.waitThrows == Thrown::kOutOfMemory) throw std::bad_alloc();
      throw new COleException(static_cast<std::int32_t>(0x80004005));
    };
  }
  os.messages.RunOutOfMemory(c.reportOutOfMemory);
  EXPECT_EQ(Run({u"-s", u"-e"}), 0) << c.what;
  const auto entries = LogEntries();
  ASSERT_GE(entries.size(), 3u) << c.what;
  EXPECT_EQ(std::count_if(entries.begin(), entries.end(),
                          [](const std::string& entry) { return entry.rfind("LSScheduler Error", 0) == 0; }),
            c.report.empty() ? 0 : 1)
      << c.what;
  if (!c.report.empty()) {
    EXPECT_EQ(entries[entries.size() - 2], c.report) << c.what;
  }
  EXPECT_EQ(entries.back(), "De-Block Larkspan Toolbar Load") << c.what;
  EXPECT_EQ(os.registry.GetDword(kSettings, u"BlockToolbarLoad"), 0) << c.what;
  EXPECT_EQ(os.registry.GetDword(kSettings, u"BlockToolbarLoadOrg"), -1) << c.what;
  EXPECT_EQ(os.process.comDepth, 0) << c.what;
  EXPECT_EQ(os.sync.openHandles, 0) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, CaughtErrors,
    testing::Values(
        CaughtErrorCase{"a MAPI error", {HResult(0x80040111), HResult(0x80040111)}, false, Thrown::kNothing,
                        "LSScheduler Error: Code = 80040111,Meaning = Unknown error 0x80040111,"
                        "Source = (null),Description = (null)"},
        CaughtErrorCase{"a framework exception: the mutex cannot be created", {}, true, Thrown::kNothing,
                        "LSScheduler Error: Code = 8000ffff, Description = A required resource was unavailable."},
        CaughtErrorCase{"out of memory", {}, false, Thrown::kOutOfMemory,
                        "LSScheduler Error: Code = 8000ffff, Description = Out of memory."},
        CaughtErrorCase{"a MAPI error whose text runs out of memory", {HResult(0x80040111), HResult(0x80040111)},
                        false, Thrown::kNothing,
                        "LSScheduler Error: Code = 80040111,Meaning = (null),Source = (null),Description = (null)",
                        true},
        CaughtErrorCase{"an OLE error whose report runs out of memory", {}, false, Thrown::kOleError, "", true}),
    CaseIndex);

TEST_F(StartupTest, AnErrorOfAnotherKindEndsTheRunWithExitCodeZeroAndLeavesTheBlockPending) {
  InstallOutlook();
  os.registry.SetDword(kSettings, u"WaitSecondsForOutlookStart", 1);
  os.mapi.initializeResults = {0};
  struct Odd {};
  os.registry.beforeQuery = [](const std::u16string&, std::u16string_view name) {
    if (name == u"AutoRunExit") throw Odd{};
  };
  os.sync.waitResults = {wait_result::kFailed};
  EXPECT_EQ(Run({u"-s", u"-e"}), 0);
  EXPECT_EQ(os.registry.GetDword(kSettings, u"BlockToolbarLoad"), 1);
  EXPECT_EQ(os.registry.GetDword(kSettings, u"BlockToolbarLoadOrg"), 0);
  EXPECT_EQ(os.process.comDepth, 0);
  EXPECT_EQ(os.sync.openHandles, 0);
  EXPECT_EQ(os.registry.openHandles(), 0u);
}

TEST_F(StartupTest, AnUnavailableStoreStillRunsToTheEnd) {
  os.registry.FailKey(u"HKCU\\Software");
  InstallOutlook();
  EXPECT_EQ(Run({u"-s", u"-e"}), 0);
  EXPECT_EQ(os.clock.sleeps(), std::vector<std::uint32_t>{15000});
  EXPECT_EQ(os.journal.Matching("MAPIUninitialize").size(), 1u);
}

// A framework exception made on the heap and where it is caught; LeakSanitizer
// reports it when the catcher does not dispose of it.
struct HeapExceptionCase {
  const char* what;
  bool atFirstSettingRead;  // escapes InitInstance to the entry
  bool everySeekFails;      // a failed log write, reported through a failing log write
};

void PrintTo(const HeapExceptionCase& c, std::ostream* out) { *out << c.what; }

class HeapException : public StartupTest, public testing::WithParamInterface<HeapExceptionCase> {};

TEST_P(HeapException, IsDisposedOfWhereItIsCaught) {
  const HeapExceptionCase& c = GetParam();
  InstallOutlook();
  ConfigureLog();
  os.registry.SetDword(kSettings, u"WaitSecondsForOutlookStart", 1);
  if (c.atFirstSettingRead) {
    os.registry.beforeQuery = [](const std::u16string&, std::u16string_view name) {
      if (name == u"BlockToolbarLoadOrg") throw new COleException(static_cast<std::int32_t>(0x80004005));
    };
  }
  os.files.FailSeekToEnd(c.everySeekFails);
  EXPECT_EQ(Run({u"-s", u"-e"}), 0) << c.what;
  EXPECT_EQ(os.process.comDepth, 0) << c.what;
  EXPECT_EQ(os.registry.openHandles(), 0u) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, HeapException,
    testing::Values(HeapExceptionCase{"reaches the entry", true, false},
                    HeapExceptionCase{"reaches the quiet writes", false, true}),
    CaseIndex);

// Given the toolbar values before the start and the options, the values
// while the session runs and after the run.
struct ToolbarCase {
  const char* what;
  std::optional<std::int32_t> blockBefore, orgBefore;
  std::vector<std::u16string> arguments;
  std::optional<std::int32_t> blockDuring, orgDuring;
  std::optional<std::int32_t> blockAfter, orgAfter;
  bool logged;
  // A launch that fails runs no MAPI call at all.
  bool outlookFound = true;
  std::intptr_t shellResult = 42;
  bool launchFails = false;
};

void PrintTo(const ToolbarCase& c, std::ostream* out) { *out << c.what; }

class ToolbarGuard : public StartupTest, public testing::WithParamInterface<ToolbarCase> {};

TEST_P(ToolbarGuard, FollowsTheStateTable) {
  const ToolbarCase& c = GetParam();
  if (c.outlookFound) InstallOutlook();
  os.shell.result = c.shellResult;
  ConfigureLog();
  os.registry.SetDword(kSettings, u"WaitSecondsForOutlookStart", 1);
  if (c.blockBefore) {
    os.registry.SetDword(kSettings, u"BlockToolbarLoad", static_cast<std::uint32_t>(*c.blockBefore));
  }
  if (c.orgBefore) {
    os.registry.SetDword(kSettings, u"BlockToolbarLoadOrg", static_cast<std::uint32_t>(*c.orgBefore));
  }
  std::optional<std::int32_t> blockDuring, orgDuring;
  os.registry.beforeQuery = [&](const std::u16string&, std::u16string_view name) {
    if (name == u"WaitSecondsForOutlookStart") {
      blockDuring = os.registry.GetDword(kSettings, u"BlockToolbarLoad");
      orgDuring = os.registry.GetDword(kSettings, u"BlockToolbarLoadOrg");
    }
  };
  Run(c.arguments);
  if (std::find(c.arguments.begin(), c.arguments.end(), u"-s") != c.arguments.end()) {
    EXPECT_EQ(blockDuring, c.blockDuring) << c.what;
    EXPECT_EQ(orgDuring, c.orgDuring) << c.what;
  }
  EXPECT_EQ(os.registry.GetDword(kSettings, u"BlockToolbarLoad"), c.blockAfter) << c.what;
  EXPECT_EQ(os.registry.GetDword(kSettings, u"BlockToolbarLoadOrg"), c.orgAfter) << c.what;
  const auto entries = LogEntries();
  const bool logged = std::count(entries.begin(), entries.end(), "Block Larkspan Toolbar Load") == 1 &&
                      std::count(entries.begin(), entries.end(), "De-Block Larkspan Toolbar Load") == 1;
  EXPECT_EQ(logged, c.logged) << c.what;
  if (c.launchFails) {
    EXPECT_EQ(os.journal.Matching("MAPI"), std::vector<std::string>{}) << c.what;
    EXPECT_EQ(os.clock.sleeps(), std::vector<std::uint32_t>{}) << c.what;
  }
}

using V = std::vector<std::u16string>;
INSTANTIATE_TEST_SUITE_P(
    Table, ToolbarGuard,
    testing::Values(
        ToolbarCase{"first run", {}, {}, V{u"-s", u"-e"}, 1, 0, 0, -1, true},
        ToolbarCase{"allowed", 0, -1, V{u"-s", u"-e"}, 1, 0, 0, -1, true},
        ToolbarCase{"other prior value", 5, -1, V{u"-s", u"-e"}, 1, 0, 5, -1, true},
        ToolbarCase{"already blocked", 1, -1, V{u"-s", u"-e"}, 1, -1, 1, -1, false},
        ToolbarCase{"no -e", 0, -1, V{u"-s"}, 0, -1, 0, -1, false},
        ToolbarCase{"no -s", 5, {}, V{u"-e"}, {}, {}, 5, {}, false},
        ToolbarCase{"start after a killed run", 1, 0, V{}, {}, {}, 0, -1, false},
        ToolbarCase{"killed run, then -s -e", 1, 0, V{u"-s", u"-e"}, 1, 0, 0, -1, true},
        ToolbarCase{"pending value set by hand", 0, 1, V{u"-s", u"-e"}, 1, -1, 1, -1, false},
        ToolbarCase{"Outlook not found", 0, -1, V{u"-s", u"-e"}, 1, 0, 0, -1, true, false, 42, true},
        ToolbarCase{"start refused", 0, -1, V{u"-s", u"-e"}, 1, 0, 0, -1, true, true, 2, true},
        ToolbarCase{"the shell's 32 is a refusal too", 0, -1, V{u"-s", u"-e"}, 1, 0, 0, -1, true, true, 32,
                    true}), CaseIndex);

}  // namespace
}  // namespace lss
