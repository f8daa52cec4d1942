#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "check/check_output.h"
#include "check/check_tool.h"
#include "check/task_check.h"
#include "check_test_helpers.h"
#include "fake/fake_check_platform.h"

namespace lss::test {
namespace {

// A change of the good machine.
using Change = std::function<void(FakeCheckPlatform&)>;

// OUTLOOK.EXE holding `bytes`.
Change Exe(std::string bytes) {
  return [bytes](FakeCheckPlatform& os) { os.disk.AddFile(u"C:\\Office\\OUTLOOK.EXE", bytes); };
}

// The mail client's MAPI library laid out as `layout`.
Change Mapi(PeLayout layout) {
  return [layout](FakeCheckPlatform& os) {
    os.disk.AddFile(u"C:\\Office\\olmapi32.dll", PeFile(layout));
  };
}

// The good task, changed.
Change Task(std::function<void(TaskInfo&)> change) {
  return [change](FakeCheckPlatform& os) {
    TaskInfo task = GoodTask();
    change(task);
    os.tasks.Add(u"Larkspan Nightly", task);
  };
}

// The good task whose last run ended with `result`, with `actions`.
Change Task(HResult result, std::vector<TaskExecAction> actions = {kRunAction, kCheckAction}) {
  return Task([=](TaskInfo& task) {
    task.execActions = actions;
    task.lastResult = result;
  });
}

// What a look at LSSyncMutex finds.
Change Mutex(MutexState state, Status error = 0) {
  return [=](FakeCheckPlatform& os) { os.queries.mutex = {state, error}; };
}

// LogDirectory holding `text` as a value of `type`, on a machine with a drive
// C:, %LOGS% naming C:\Logs and the file `file`, if named.
Change LogDirectory(std::u16string text, std::uint32_t type = reg::kSz, std::u16string file = {}) {
  return [=](FakeCheckPlatform& os) {
    os.disk.AddFolder(u"C:\\");
    os.environment.variables[u"LOGS"] = u"C:\\Logs";
    if (!file.empty()) os.disk.AddFile(file);
    os.registry.Set(kSettings, u"LogDirectory", type, Utf16(text));
  };
}

void SetWait(FakeCheckPlatform& os, std::uint32_t seconds) {
  os.registry.SetDword(kSettings, u"WaitSecondsForOutlookStart", seconds);
}

struct SituationCase {
  const char* what;
  Change change;      // of the good machine; nullptr: the good machine itself
  std::u16string id;  // the check this row is about
  CheckStatus status;
  std::u16string message;                         // a part of its message
  std::optional<CheckStatus> verdict = {};        // none: the status's, kInfo counting as kOk
  bool probeLeft = false;                         // the probe file cannot be deleted
  std::u16string taskRead = u"Larkspan Nightly";  // the one task the checks read
  std::u16string taskOption = {};                 // --task
};

class Situations : public testing::TestWithParam<SituationCase> {};

TEST_P(Situations, GiveTheirStatusAndMessage) {
  const SituationCase& c = GetParam();
  FakeCheckPlatform os;
  SetUpGoodMachine(os);
  if (c.change) c.change(os);
  os.journal.Clear();

  CheckOptions options;
  options.taskName = c.taskOption;
  const std::vector<CheckResult> results = RunChecks(os.bundle, options).results;

  const auto found = std::find_if(results.begin(), results.end(),
                                  [&](const CheckResult& result) { return result.id == c.id; });
  ASSERT_NE(found, results.end());
  EXPECT_EQ(found->status, c.status);
  EXPECT_NE(found->message.find(c.message), std::u16string::npos) << Narrow(found->message);
  EXPECT_EQ(Verdict(results), c.verdict.value_or(c.status == kInfo ? kOk : c.status));
  // Nothing is written or created: no key, no value, no file left, no event.
  EXPECT_TRUE(os.journal.Matching("RegCreateKey").empty());
  EXPECT_TRUE(os.journal.Matching("RegSetValue").empty());
  EXPECT_EQ(os.disk.Contents(u"C:\\Logs\\LSSchedulerCheck.probe").has_value(), c.probeLeft);
  EXPECT_FALSE(os.files.IsFolder(u"C:\\LSSchedulerCheck.probe"));
  EXPECT_EQ(os.registry.openHandles(), 0u);
  EXPECT_TRUE(os.eventLog.events.empty());
  EXPECT_EQ(os.tasks.reads, std::vector<std::u16string>{c.taskRead});
}

const SituationCase kSituations[] = {
    {"ARM64 OUTLOOK.EXE", Exe(ProgramFile(0xAA64)), u"outlook", kInfo,
     u"Outlook is at C:\\Office\\OUTLOOK.EXE (ARM64): a run starts Outlook but does not load "
     u"it, so an Arm build serves as well as an x64 one; the mapi check judges the MAPI library a "
     u"run does load."},
    {"Arm64X OUTLOOK.EXE", Exe(PeFile({.machine = 0xAA64, .chpe = 0x180004000})), u"outlook",
     kInfo, u"Outlook is at C:\\Office\\OUTLOOK.EXE (Arm64X): a run starts Outlook"},
    {"Arm64EC-marked x64 OUTLOOK.EXE", Exe(PeFile({.chpe = 0x140004000})), u"outlook", kOk,
     u"Outlook is at C:\\Office\\OUTLOOK.EXE (Arm64EC)."},
    {"x64 OUTLOOK.EXE with a load configuration", Exe(PeFile({})), u"outlook", kOk,
     u"Outlook is at C:\\Office\\OUTLOOK.EXE (x64)."},
    {"OUTLOOK.EXE starting MX with a PE header", Exe(ProgramFile(0x8664).replace(1, 1, "X")),
     u"outlook", kWarn, u"(found: not a program file (it does not start with MZ))"},
    {"OUTLOOK.EXE starting ZZ with a PE header", Exe(ProgramFile(0x8664).replace(0, 1, "Z")),
     u"outlook", kWarn, u"(found: not a program file (it does not start with MZ))"},
    {"a 64-byte OUTLOOK.EXE", Exe(ProgramFile(0x8664, 0x80, 0x40)), u"outlook", kWarn,
     u"(found: not a complete program file (its PE header offset 0x80 points past the 64 bytes "
     u"read))"},
    {"OUTLOOK.EXE of another machine type", Exe(ProgramFile(0x1C4)), u"outlook", kWarn,
     u"(found: machine type 0x1C4)"},
    {"OUTLOOK.EXE cut short in its DOS header", Exe(ProgramFile(0x8664, 0x80, 0x3E)), u"outlook",
     kWarn,
     u"(found: not a complete program file (it ends after 62 bytes, inside its DOS header))"},
    {"OUTLOOK.EXE with MZ but no PE signature", Exe(ProgramFile(0x8664).replace(0x81, 1, "X")),
     u"outlook", kWarn, u"(found: not a program file (no PE signature at offset 0x80))"},
    {"a PE offset past the end of OUTLOOK.EXE", Exe(ProgramFile(0x8664, 0x7FFFFFFF, 0x300)),
     u"outlook", kWarn,
     u"(found: not a complete program file (its PE header offset 0x7FFFFFFF points past the 512 "
     u"bytes read))"},
    {"a PE header ending just past the end of OUTLOOK.EXE", Exe(ProgramFile(0x8664, 0x1FB, 0x200)),
     u"outlook", kWarn, u"offset 0x1FB points past the 512 bytes read"},
    {"a PE header beyond the first 512 bytes", Exe(ProgramFile(0x8664, 0xFFA, 0x1200)), u"outlook",
     kOk, u"Outlook is at C:\\Office\\OUTLOOK.EXE (x64)."},
    {"a PE header beyond the first 4 KiB", Exe(ProgramFile(0x8664, 0xFFB, 0x1200)), u"outlook",
     kWarn, u"offset 0xFFB points past the 512 bytes read"},
    {"a 32-bit MAPI library",
     [](auto& os) { os.disk.AddFile(u"C:\\Office\\olmapi32.dll", ProgramFile(0x14C)); }, u"mapi",
     kFail,
     u"32-bit Outlook: LSScheduler.exe is a 64-bit program and cannot use a 32-bit Outlook's "
     u"MAPI; install 64-bit Office (C:\\Office\\olmapi32.dll is x86)."},
    {"a MAPI library that is not a program file",
     [](auto& os) { os.disk.AddFile(u"C:\\Office\\olmapi32.dll", ""); }, u"mapi", kWarn,
     u"C:\\Office\\olmapi32.dll is not an x64 program file (found: not a program file (it does "
     u"not start with MZ))"},
    {"an x64 MAPI library", nullptr, u"mapi", kOk,
     u"MAPI can reach the mail client Microsoft Outlook (C:\\Office\\olmapi32.dll, x64)."},
    {"an x64 MAPI library with a load configuration", Mapi({}), u"mapi", kOk,
     u"MAPI can reach the mail client Microsoft Outlook (C:\\Office\\olmapi32.dll, x64)."},
    {"an Arm64EC-marked x64 MAPI library", Mapi({.chpe = 0x180004000}), u"mapi", kOk,
     u"MAPI can reach the mail client Microsoft Outlook (C:\\Office\\olmapi32.dll, Arm64EC)."},
    {"an Arm64X MAPI library", Mapi({.machine = 0xAA64, .chpe = 0x180004000}), u"mapi", kOk,
     u"MAPI can reach the mail client Microsoft Outlook (C:\\Office\\olmapi32.dll, Arm64X)."},
    {"an Arm64X MAPI library with CHPE metadata above 4 GiB",
     Mapi({.machine = 0xAA64, .chpe = 0x100000000}), u"mapi", kOk, u"olmapi32.dll, Arm64X)."},
    {"an Arm64X MAPI library whose load configuration just holds the pointer",
     Mapi({.machine = 0xAA64, .chpe = 1, .configSize = 208}), u"mapi", kOk, u"Arm64X)."},
    {"a pure Arm64 MAPI library", Mapi({.machine = 0xAA64}), u"mapi", kFail,
     u"C:\\Office\\olmapi32.dll, the MAPI library of the mail client Microsoft Outlook, has no "
     u"x64 code (found: ARM64): an x64 program cannot load an Arm64 MAPI library; a -s -e run "
     u"cannot log on. Install Microsoft 365 Apps for Arm, whose MAPI library is Arm64X."},
    {"an Arm64 MAPI library with only the header", [](auto& os) {
       os.disk.AddFile(u"C:\\Office\\olmapi32.dll", ProgramFile(0xAA64));
     }, u"mapi", kFail, u"has no x64 code (found: ARM64)"},
    {"an Arm64 MAPI library without a load configuration",
     Mapi({.machine = 0xAA64, .chpe = 1, .configAddress = 0}), u"mapi", kFail,
     u"has no x64 code (found: ARM64)"},
    {"an Arm64 MAPI library whose load configuration is too short for the pointer",
     Mapi({.machine = 0xAA64, .chpe = 1, .configSize = 207}), u"mapi", kFail,
     u"has no x64 code (found: ARM64)"},
    {"an Arm64 MAPI library whose load configuration is cut short",
     Mapi({.machine = 0xAA64, .chpe = 1, .fileSize = 0x400 + 207}), u"mapi", kFail,
     u"has no x64 code (found: ARM64 (its load configuration is cut short))"},
    {"an Arm64 MAPI library whose section table is cut short",
     Mapi({.machine = 0xAA64, .chpe = 1, .fileSize = 0x1AF}), u"mapi", kFail,
     u"(found: ARM64 (its load configuration is cut short))"},
    {"an Arm64X MAPI library whose section table ends within 64 KiB",
     Mapi({.machine = 0xAA64, .chpe = 1, .sections = 1628, .fileSize = 0x10200}), u"mapi", kOk,
     u"Arm64X)."},
    {"an Arm64 MAPI library whose section table goes beyond 64 KiB",
     Mapi({.machine = 0xAA64, .chpe = 1, .sections = 1629, .fileSize = 0x10200}), u"mapi", kFail,
     u"(found: ARM64 (its load configuration is cut short))"},
    {"an Arm64X MAPI library ending with its load configuration",
     Mapi({.machine = 0xAA64, .chpe = 1, .fileSize = 0x400 + 208}), u"mapi", kOk, u"Arm64X)."},
    {"an Arm64 MAPI library whose load configuration is past its end",
     Mapi({.machine = 0xAA64, .chpe = 1, .rawPointer = 0x600}), u"mapi", kFail,
     u"(found: ARM64 (its load configuration lies outside the file))"},
    {"an Arm64 MAPI library whose load configuration is in no section",
     Mapi({.machine = 0xAA64, .chpe = 1, .configAddress = 0x1200, .fileSize = 0x800}), u"mapi",
     kFail,
     u"(found: ARM64 (its load configuration lies outside the file))"},
    {"no App Paths key", [](auto& os) { os.registry.DeleteKey(kAppPaths); }, u"outlook", kFail,
     u"OUTLOOK.EXE is missing: a run logs \"Can't find Outlook.exe\""},
    {"an App Paths key that cannot be opened", [](auto& os) { os.registry.FailKey(kAppPaths); },
     u"outlook", kFail, u"OUTLOOK.EXE cannot be opened (Access is denied)"},
    {"no Path value", [](auto& os) { os.registry.DeleteValue(kAppPaths, u"Path"); }, u"outlook",
     kFail, u"has no value Path"},
    {"Path of another type",
     [](auto& os) { os.registry.Set(kAppPaths, u"Path", reg::kExpandSz, Utf16(u"C:\\Office\\")); },
     u"outlook", kFail, u"Path of OUTLOOK.EXE is REG_EXPAND_SZ, not REG_SZ"},
    {"Path without its backslash",
     [](auto& os) { os.registry.SetString(kAppPaths, u"Path", u"C:\\Office"); }, u"outlook", kFail,
     u"a run would start C:\\OfficeOUTLOOK.EXE"},
    {"Path too long to read",
     [](auto& os) {
       os.registry.SetString(kAppPaths, u"Path", std::u16string(1100, u'x') + u"\\");
     },
     u"outlook", kFail, u"cannot be read (error 234)"},
    {"OUTLOOK.EXE missing",
     [](auto& os) { os.registry.SetString(kAppPaths, u"Path", u"C:\\Gone\\"); }, u"outlook", kFail,
     u"C:\\Gone\\OUTLOOK.EXE, named by Outlook's App Paths entry, does not exist"},
    {"no system MAPI", [](auto& os) { os.queries.systemDirectory = u"C:\\Windows\\Elsewhere"; },
     u"mapi", kFail, u"C:\\Windows\\Elsewhere\\mapi32.dll is missing"},
    {"no default mail client",
     [](auto& os) { SetMachineText(os, k64Bit, kMail, u"", std::nullopt); }, u"mapi", kFail,
     u"No default mail client is registered"},
    {"32-bit Outlook",
     [](auto& os) {
       SetMachineText(os, k64Bit, kMail, u"", std::nullopt);
       SetMachineText(os, k32Bit, kMail, u"", u"Microsoft Outlook");
     },
     u"mapi", kFail, u"this 64-bit program needs 64-bit Outlook"},
    {"DLLPathEx only in the 32-bit view",
     [](auto& os) {
       SetMachineText(os, k64Bit, kOutlookClient, u"DLLPathEx", std::nullopt);
       SetMachineText(os, k32Bit, kOutlookClient, u"DLLPathEx", u"C:\\Office\\olmapi32.dll");
     },
     u"mapi", kFail, u"Microsoft Outlook is registered only for 32-bit programs"},
    {"no DLLPathEx",
     [](auto& os) {
       SetMachineText(os, k64Bit, kMail, u"", u"Other Mail");
       SetMachineText(os, k64Bit, u"Software\\Clients\\Mail\\Other Mail", u"DLLPath", u"x");
     },
     u"mapi", kWarn, u"The mail client Other Mail has no DLLPathEx"},
    {"DLLPathEx names no file",
     [](auto& os) { SetMachineText(os, k64Bit, kOutlookClient, u"DLLPathEx", u"C:\\Gone\\x.dll"); },
     u"mapi", kFail, u"names C:\\Gone\\x.dll as its MAPI library, which does not exist"},
    {"no LogDirectory", [](auto& os) { os.registry.DeleteValue(kSettings, u"LogDirectory"); },
     u"log-folder", kWarn, u"LogDirectory is not set: runs leave no record"},
    {"LogDirectory of another type", LogDirectory(u"C:\\Logs", reg::kMultiSz), u"log-folder", kFail,
     u"LogDirectory is REG_MULTI_SZ, not REG_SZ or REG_EXPAND_SZ"},
    {"REG_EXPAND_SZ LogDirectory is expanded", LogDirectory(u"%Logs%", reg::kExpandSz),
     u"log-folder", kOk, u"Runs log to C:\\Logs."},
    {"last-run reads the expanded folder", LogDirectory(u"%Logs%\\", reg::kExpandSz), u"last-run",
     kOk, u"The run of 07-12-26 02:00:00 ended"},
    {"REG_SZ LogDirectory keeps its %", LogDirectory(u"%Logs%"), u"log-folder", kFail,
     u"The log folder %Logs% does not exist, and runs cannot create it: no folder above it "
     u"exists"},
    {"a missing folder a run creates", LogDirectory(u"C:\\Users\\ana\\Logs"), u"log-folder", kInfo,
     u"The log folder C:\\Users\\ana\\Logs does not exist yet; the next run creates it.", kFail},
    {"a missing folder below a file", LogDirectory(u"C:\\Users\\ana\\Logs", reg::kSz, u"C:\\Users"),
     u"log-folder", kFail,
     u"The log folder C:\\Users\\ana\\Logs does not exist, and runs cannot create it: C:\\Users "
     u"is a file."},
    {"a missing folder where none may be created",
     [](auto& os) {
       os.files.DenyCreate(true);
       LogDirectory(u"C:\\New\\Logs")(os);
     },
     u"log-folder", kFail, u"no folder can be created in C:\\ (Access is denied)"},
    {"a missing folder with a name Windows refuses", LogDirectory(u"C:\\Logs \"x\""), u"log-folder",
     kFail, u"its name holds a character that Windows does not allow in names"},
    {"a missing folder on a missing drive", LogDirectory(u"Q:\\Logs"), u"log-folder", kFail,
     u"no folder above it exists (no such drive or share)"},
    {"LogDirectory is a file", LogDirectory(u"C:\\Logfile", reg::kSz, u"C:\\Logfile"),
     u"log-folder", kFail, u"LogDirectory C:\\Logfile is a file, not a folder"},
    {"a folder too long for a log file",
     [](auto& os) {
       os.environment.variables[u"DEEP"] = std::u16string(240, u'd');
       os.disk.AddFolder(u"C:\\" + std::u16string(240, u'd'));
       LogDirectory(u"C:\\%DEEP%", reg::kExpandSz)(os);
     },
     u"log-folder", kFail, u"is too long: a log file in it would have a path of 269 characters"},
    // C:\ and 230 characters, then \Scheduler<12 digits>.log: 259, the longest a run opens.
    {"a folder whose log path has 259 characters",
     [](auto& os) {
       os.disk.AddFolder(u"C:\\" + std::u16string(230, u'd'));
       LogDirectory(u"C:\\" + std::u16string(230, u'd'))(os);
     },
     u"log-folder", kOk, u"Runs log to C:\\dddd", kFail},  // no run's log there yet
    {"a folder whose log path has 260 characters",
     [](auto& os) {
       os.disk.AddFolder(u"C:\\" + std::u16string(231, u'd'));
       LogDirectory(u"C:\\" + std::u16string(231, u'd'))(os);
     },
     u"log-folder", kFail, u"is too long: a log file in it would have a path of 260 characters"},
    {"a missing folder named with the long-path prefix", LogDirectory(u"\\\\?\\C:\\New"),
     u"log-folder", kInfo,
     u"The log folder \\\\?\\C:\\New does not exist yet; the next run creates it.", kFail},
    {"log folder not writable", [](auto& os) { os.files.DenyCreate(true); }, u"log-folder",
     kFail, u"No file can be created in C:\\Logs: Access is denied."},
    {"a probe file that cannot be deleted", [](auto& os) { os.files.DenyRemove(true); },
     u"log-folder", kFail,
     u"The test file C:\\Logs\\LSSchedulerCheck.probe cannot be deleted: Access is denied.", kFail,
     true},
    {"a wait of 10 s", [](auto& os) { SetWait(os, 10); }, u"wait-seconds", kOk, u"waits 10 s"},
    {"a wait of 0", [](auto& os) { SetWait(os, 0); }, u"wait-seconds", kOk, u"waits 15 s"},
    {"a negative wait", [](auto& os) { SetWait(os, 0xFFFFFFFD); }, u"wait-seconds", kOk,
     u"so the default is used"},
    {"a wait stored as long text",
     [](auto& os) { os.registry.SetString(kSettings, u"WaitSecondsForOutlookStart", u"30"); },
     u"wait-seconds", kOk, u"waits 15 s"},
    {"a pending toolbar block",
     [](auto& os) { os.registry.SetDword(kSettings, u"BlockToolbarLoadOrg", 0); }, u"toolbar",
     kWarn, u"pending (BlockToolbarLoadOrg = 0): an earlier run was interrupted"},
    {"a toolbar block of the run going on now",
     [](auto& os) {
       os.registry.SetDword(kSettings, u"BlockToolbarLoadOrg", 0);
       os.queries.runningPrograms = {u"LSScheduler.exe"};
     },
     u"toolbar", kOk, u"blocked for the run going on now"},
    {"no toolbar block",
     [](auto& os) { os.registry.SetDword(kSettings, u"BlockToolbarLoadOrg", 0xFFFFFFFF); },
     u"toolbar", kOk, u"No toolbar block is pending."},
    {"no mutex", nullptr, u"sync-now", kInfo, u"(LSSyncMutex does not exist)"},
    {"the add-in syncing", Mutex(MutexState::kHeld), u"sync-now", kInfo,
     u"synchronizing now (it holds LSSyncMutex)"},
    {"a free mutex", Mutex(MutexState::kFree), u"sync-now", kInfo,
     u"The add-in is not synchronizing now."},
    {"an abandoned mutex", Mutex(MutexState::kAbandoned), u"sync-now", kInfo,
     u"ended without releasing LSSyncMutex"},
    {"the name taken by an event", Mutex(MutexState::kOtherObject), u"sync-now", kFail,
     u"belongs to another kind of object"},
    {"a mutex that cannot be looked at", Mutex(MutexState::kUnknown, 5), u"sync-now", kWarn,
     u"The state of LSSyncMutex cannot be read: Access is denied."},
    {"a Task Scheduler that cannot be asked", [](auto& os) { os.tasks.failure = 5; }, u"task",
     kWarn, u"cannot be read from the Task Scheduler: Access is denied."},
    {"a task run as SYSTEM", Task([](auto& t) { t.userId = u"SYSTEM"; }), u"task", kFail,
     u"runs as SYSTEM: that account has no desktop session"},
    {"a task run by the group of LocalSystem", Task([](auto& t) {
       t.userId.clear();
       t.groupId = u"S-1-5-18";
     }),
     u"task", kFail, u"runs as S-1-5-18"},
    {"a task run whether the user is logged on or not",
     Task([](auto& t) { t.logonType = TaskLogonType::kPassword; }), u"task", kFail,
     u"logged on or not (logon type Password)"},
    {"a task run with S4U", Task([](auto& t) { t.logonType = TaskLogonType::kS4U; }), u"task",
     kFail, u"(logon type S4U)"},
    {"an action in another folder",
     [](auto& os) {
       os.disk.AddFile(u"D:\\Old\\LSScheduler.exe");
       Task([](auto& t) { t.execActions.front().path = u"D:\\Old\\LSScheduler.exe"; })(os);
     },
     u"task", kFail,
     u"does not start C:\\Program Files\\Larkspan\\LSScheduler.exe (its action starts "
     u"D:\\Old\\LSScheduler.exe)"},
    {"a quoted action after another action", Task([](auto& t) {
       t.execActions.front().path = u" \"C:\\Program Files\\Larkspan\\lsscheduler.EXE\"";
       t.execActions.insert(t.execActions.begin(), {u"cmd.exe", u"/c echo"});
     }),
     u"task", kOk, u"ended well"},
    {"an action whose file is gone",
     [](auto& os) { os.files.RemoveFile(u"C:\\Program Files\\Larkspan\\LSScheduler.exe"); },
     u"task", kFail, u"LSScheduler.exe, which does not exist"},
    {"an action without -s", Task([](auto& t) { t.execActions.front().arguments = u"-e -p s"; }),
     u"task", kFail, u"without -s: a run only hands its values"},
    {"an action without -e", Task([](auto& t) { t.execActions.front().arguments = u"-s -p e"; }),
     u"task", kWarn, u"without -e: Outlook stays open after each run"},
    {"flags spelled /S and /exit",
     Task([](auto& t) { t.execActions.front().arguments = u"/S /exit"; }), u"task", kOk,
     u"ended well"},
    {"a last run ended by the time limit", Task(task_result::kTerminated), u"task", kFail,
     u"last run (07-12-26 02:00:00) was ended by its time limit (0x00041306)"},
    {"a last run that failed, without the check action", Task(1, {kRunAction}), u"task", kFail,
     u"ended with 0x00000001: Incorrect function."},
    {"last result 2 without the check action", Task(2, {kRunAction}), u"task", kFail,
     u"ended with 0x00000002: The system cannot find the file specified."},
    {"last result 1 after the check action", Task(1), u"task", kWarn,
     u"The task's last run (07-12-26 02:00:00) ended with 0x00000001: the check after the last "
     u"run found a warning: its event 1001"},
    {"last result 2 after the check action", Task(2), u"task", kFail,
     u"ended with 0x00000002: the check after the last run found that the run failed. Its event "
     u"1002"},
    {"last result 2 after the check action, without -e", Task([](auto& t) {
       t.execActions.front().arguments = u"-s -n Nightly";
       t.lastResult = 2;
     }),
     u"task", kFail, u"found that the run failed"},
    {"last result 1 with the check action first", Task(1, {kCheckAction, kRunAction}), u"task",
     kFail, u"ended with 0x00000001: Incorrect function."},
    {"the check action missing", Task(0, {kRunAction}), u"task", kInfo,
     u"ended well. Note: the task writes no verdict after its run; add the second action of the "
     u"template (C:\\Program Files\\Larkspan\\LSSchedulerCheck.exe --only last-run,toolbar "
     u"--eventlog)."},
    {"the check action before the run's", Task(0, {kCheckAction, kRunAction}), u"task", kInfo,
     u"ended well. Note: the task writes no verdict after its run"},
    {"a check action of another folder",
     Task([](auto& t) { t.execActions.back().path = u"D:\\Old\\LSSchedulerCheck.exe"; }), u"task",
     kInfo, u"the task writes no verdict after its run"},
    {"the check action missing and the task never run", Task([](auto& t) {
       t.execActions = {kRunAction};
       t.lastRun.reset();
       t.lastResult = task_result::kHasNotRun;
     }),
     u"task", kInfo, u"it has not run yet. Note: the task writes no verdict after its run"},
    {"a task never run, with the check action", Task([](auto& t) {
       t.lastRun.reset();
       t.lastResult = task_result::kHasNotRun;
     }),
     u"task", kInfo, u"-n Nightly; it has not run yet."},
    {"a last result of access denied",
     [](auto& os) {
       os.messages.Set(0x80070005, u"Access is denied.\r\n");
       Task(HResult(0x80070005))(os);
     },
     u"task", kFail, u"ended with 0x80070005: Access is denied."},
    {"a task ready for its next run", Task(task_result::kReady), u"task", kInfo,
     u"-n Nightly; it is ready for its next run (0x00041300); the Task Scheduler does not say how "
     u"its last run ended."},
    {"a task running now", Task(task_result::kRunning), u"task", kOk,
     u"-n Nightly; it is running now."},
    {"the task name the package recorded",
     [](auto& os) {
       SetMachineText(os, k64Bit, kInstallerKey, u"TaskName", u"Brinmoor Sync Test");
       os.tasks.Add(u"Brinmoor Sync Test", GoodTask());
     },
     u"task", kOk, u"The task \"Brinmoor Sync Test\" starts", kOk, false, u"Brinmoor Sync Test"},
    {"--task over the name the package recorded",
     [](auto& os) {
       SetMachineText(os, k64Bit, kInstallerKey, u"TaskName", u"Brinmoor Sync Test");
     },
     u"task", kOk, u"The task \"Larkspan Nightly\" starts", kOk, false, u"Larkspan Nightly",
     u"Larkspan Nightly"},
    {"an empty recorded task name",
     [](auto& os) { SetMachineText(os, k64Bit, kInstallerKey, u"TaskName", u""); }, u"task", kOk,
     u"The task \"Larkspan Nightly\" starts"},
    {"a task name recorded only for 32-bit programs",
     [](auto& os) {
       SetMachineText(os, k32Bit, kInstallerKey, u"TaskName", u"Brinmoor Sync Test");
     },
     u"task", kOk, u"The task \"Larkspan Nightly\" starts"},
    {"a task that ran after the newest log",
     Task([](auto& t) { t.lastRun = LocalTime{2026, 12, 8, 2, 0, 0}; }), u"last-run", kFail,
     u"The task ran at 08-12-26 02:00:00 but left no run log: LSScheduler.exe could not start, or "
     u"could not write its log. The newest run log: The run of 07-12-26 02:00:00 ended"},
    {"a task that ran five minutes into the newest log",
     Task([](auto& t) { t.lastRun = LocalTime{2026, 12, 7, 2, 5, 0}; }), u"last-run", kOk,
     u"The run of 07-12-26 02:00:00 ended"},
    {"a task that ran with only a start without -s since",
     [](auto& os) {
       os.disk.AddFile(u"C:\\Logs\\Scheduler081226090000.log", "");
       Task([](auto& t) { t.lastRun = LocalTime{2026, 12, 8, 2, 0, 0}; })(os);
     },
     u"last-run", kFail, u"The task ran at 08-12-26 02:00:00 but left no run log"},
    {"a task that ran with only empty logs",
     [](auto& os) {
       os.files.RemoveFile(u"C:\\Logs\\Scheduler071226020000.log");
       os.disk.AddFile(u"C:\\Logs\\Scheduler081226090000.log", "");
       Task([](auto& t) { t.lastRun = LocalTime{2026, 12, 8, 2, 0, 0}; })(os);
     },
     u"last-run", kFail, u"The task ran at 08-12-26 02:00:00 but left no run log in C:\\Logs"},
};

INSTANTIATE_TEST_SUITE_P(Table, Situations, testing::ValuesIn(kSituations), CaseName);

TEST(ServiceAccounts, AreKnownByEverySpelling) {
  for (const std::u16string_view account :
       {u"SYSTEM", u"NT AUTHORITY\\SYSTEM", u"nt authority\\system", u"S-1-5-18", u"LocalSystem",
        u".\\LocalSystem", u"LOCAL SERVICE", u"LocalService", u"NT AUTHORITY\\LOCAL SERVICE",
        u"NT AUTHORITY\\LocalService", u"S-1-5-19", u"NETWORK SERVICE", u"NetworkService",
        u"NT AUTHORITY\\NETWORK SERVICE", u" S-1-5-20 "}) {
    EXPECT_TRUE(IsServiceAccount(account)) << Narrow(account);
  }
  for (const std::u16string_view account : {u"CONTOSO\\ana", u"CONTOSO\\SYSTEM", u"SYSTEMS",
                                            u"S-1-5-32-545", u"S-1-5-1", u"NT AUTHORITY\\", u""}) {
    EXPECT_FALSE(IsServiceAccount(account)) << Narrow(account);
  }
}

// The event --eventlog writes, from the source LSScheduler.
struct Written {
  EventType type;
  std::uint32_t id;
  std::vector<std::u16string> strings;  // its insertion strings
};

struct OptionCase {
  std::vector<std::u16string> arguments;
  int exitCode;
  // A part of standard error when the arguments are refused (64), else a part
  // of standard output, with nothing on standard error.
  std::u16string text;
  Change change = nullptr;            // of the good machine
  std::optional<Written> event = {};  // the one event written; none: no event
};

void PrintTo(const OptionCase& c, std::ostream* out) { *out << Narrow(Joined(c.arguments, u' ')); }

class Options : public testing::TestWithParam<OptionCase> {};

TEST_P(Options, GiveTheirOutputExitCodeAndEvent) {
  const OptionCase& c = GetParam();
  FakeCheckPlatform os;
  SetUpGoodMachine(os);
  if (c.change) c.change(os);
  RecordingConsole console;
  EXPECT_EQ(RunTool(os, console, c.arguments), c.exitCode);
  if (c.exitCode == 64) {
    EXPECT_NE(console.error.find(c.text), std::u16string::npos) << Narrow(console.error);
  } else {
    EXPECT_NE(console.output.find(c.text), std::u16string::npos) << Narrow(console.output);
    EXPECT_EQ(console.error, u"");
  }
  ASSERT_EQ(os.eventLog.events.size(), c.event ? 1u : 0u);
  if (!c.event) return;
  const FakeEventLog::Event& event = os.eventLog.events.front();
  EXPECT_EQ(event.source, u"LSScheduler");
  EXPECT_EQ(event.type, c.event->type);
  EXPECT_EQ(event.id, c.event->id);
  EXPECT_EQ(event.user, EventUser::kThisProcess);
  EXPECT_EQ(event.strings, c.event->strings);
}

// Where and when the check ran, and the scheduler beside it.
const std::vector<std::u16string> kFacts = Texts(u"--json", u"--only", u"toolbar");

const OptionCase kOptions[] = {
    {Texts(), 0, u"last-run         OK     The run of 07-12-26 02:00:00 ended"},
    {Texts(u"--json"), 0,
     u"{\"tool\":\"LSSchedulerCheck\",\"schema\":3,\"version\":\"1.2.3.4\",\"computer\":"
     u"\"PC-0417\",\"user\":\"BRINMOOR\\\\avery\",\"checkedAt\":\"2026-12-08T12:00:00Z\","
     u"\"nativeMachine\":\"x64\",\"schedulerVersion\":\"1.0.0.7\",\"verdict\":\"OK\","
     u"\"exitCode\":0,"},
    {Texts(u"--json"), 0,
     u"\"details\":{\"file\":\"C:\\\\Logs\\\\Scheduler071226020000.log\",\"start\":"
     u"\"2026-12-07T02:00:00\""},
    {Texts(u"--json"), 0, u"{\"id\":\"outlook-running\",\"status\":\"INFO\","},
    {Texts(u"--json"), 0,
     u"{\"id\":\"log-folder\",\"status\":\"OK\",\"message\":\"Runs log to C:\\\\Logs.\","
     u"\"details\":{\"folder\":\"C:\\\\Logs\",\"retentionDays\":\"0\"}}"},
    {Texts(u"--help"), 0, u"Usage: LSSchedulerCheck [--json | --quiet] [--only ID[,ID...]]"},
    {Texts(u"/?"), 0, u"Exit code: 0 all OK"},
    {Texts(u"--version"), 0, u"LSSchedulerCheck 1.2.3.4\n"},
    {Texts(u"--max-age-hours", u"24"), 2, u"No run since 07-12-26 02:00:00 (34 h ago"},
    {Texts(u"--max-age-hours=100000"), 0, u"Verdict: OK"},
    {Texts(u"--max-age-hours"), 64, u"--max-age-hours needs a number of hours"},
    {Texts(u"--max-age-hours", u"0"), 64, u"from 1 to 876000, not \"0\""},
    {Texts(u"--max-age-hours=1x"), 64, u"not \"1x\""},
    {Texts(u"-s"), 64, u"LSSchedulerCheck: unknown option: -s\nTry 'LSSchedulerCheck --help'.\n"},
    {Texts(u"--json", u"now"), 64, u"unexpected argument: now"},
    {Texts(u"--task", u"Other"), 1, u"task             WARN   There is no task \"Other\""},
    {Texts(u"--task", u"Other"), 1, u"\nVerdict: WARN (exit code 1)\n"},
    {Texts(u"--task=\\Larkspan Nightly"), 0, u"Verdict: OK"},
    {Texts(u"--task"), 64, u"--task needs a task name"},
    {Texts(u"--task="), 64, u"--task needs a task name"},
    {Texts(u"--only", u"last-run,task"), 0,
     u"FINDING\ntask             OK     The task \"Larkspan Nightly\" starts C:\\Program "
     u"Files\\Larkspan\\LSScheduler.exe -s -e -p Work -n Nightly; its last run (07-12-26 "
     u"02:00:00) ended well.\nlast-run         OK "},
    {Texts(u"--only=wait-seconds", u"--task", u"Other"), 0,
     u"FINDING\nwait-seconds     OK     A run waits 15 s for Outlook to start.\n\n"},
    {Texts(u"--only", u"mapi,nope"), 64,
     u"LSSchedulerCheck: unknown check \"nope\"; the checks are: outlook, mapi, log-folder, "
     u"wait-seconds, toolbar, outlook-running, sync-now, task, last-run\n"},
    {Texts(u"--only"), 64, u"--only needs a list of check ids"},
    {Texts(u"--only", u"task,"), 64, u"unknown check \"\""},
    {Texts(u"--quiet"), 0, u"OK: nothing to do.\n"},
    {Texts(u"--collect"), 64, u"--collect needs a folder"},
    {Texts(u"--collect", u"C:\\B", u"--json"), 64,
     u"--collect runs every check and writes both reports: it cannot be combined with --json, "
     u"--quiet, --only or --eventlog\n"},
    {Texts(u"--only=task", u"--collect=C:\\B"), 64, u"cannot be combined"},
    {Texts(u"--collect=C:\\B", u"--eventlog"), 64, u"cannot be combined"},
    {Texts(u"--help"), 0, u"  --collect FOLDER    run every check and write a support"},
    {Texts(u"--quiet", u"--task", u"Other", u"--max-age-hours", u"24"), 2,
     u"FAIL: last-run: No run since 07-12-26 02:00:00 (34 h ago; the limit is 24 h)"},
    {Texts(u"--quiet", u"--task", u"Other"), 1,
     u"WARN: task: There is no task \"Other\": no scheduled run on this machine under that name. "
     u"Create it as the README shows, or name yours with --task.\n"},
    {Texts(u"--quiet"), 1, u"Set WaitSecondsForOutlookStart to 10 or more. (and 1 more)\n",
     [](auto& os) {
       SetWait(os, 5);
       os.tasks.failure = task_result::kNotFound;
     }},
    {Texts(u"--json", u"--quiet"), 64, u"--json and --quiet cannot be combined"},
    {kFacts, 0, u",\"schedulerVersion\":null,", [](auto& os) { os.queries.programPath.clear(); }},
    {kFacts, 0, u",\"computer\":\"\",\"user\":\"\",",
     [](auto& os) {
       os.queries.computerName.clear();
       os.queries.userName.clear();
     }},
    {kFacts, 0, u",\"checkedAt\":\"1970-01-01T00:00:00Z\",", [](auto& os) { os.clock.SetNow(0); }},
    {kFacts, 0, u",\"checkedAt\":\"2024-02-29T23:59:59Z\",",
     [](auto& os) { os.clock.SetNow(1709251199); }},
    {kFacts, 0, u",\"checkedAt\":\"1969-12-31T23:59:59Z\",", [](auto& os) { os.clock.SetNow(-1); }},
    {kFacts, 0, u",\"checkedAt\":\"9999-12-31T23:59:59Z\",",
     [](auto& os) { os.clock.SetNow(253402300799); }},
    {kFacts, 0, u",\"checkedAt\":\"\",", [](auto& os) { os.clock.SetNow(253402300800); }},
    {kFacts, 0, u",\"nativeMachine\":\"ARM64\",",
     [](auto& os) { os.queries.nativeMachine = 0xAA64; }},
    {kFacts, 0, u",\"nativeMachine\":\"\",", [](auto& os) { os.queries.nativeMachine = 0; }},
    // The verdict, the findings and the run as one event; the user, the task
    // and the run's times with their offset from UTC appended.
    {Texts(u"--eventlog"), 0, u"Verdict: OK",
     [](auto& os) { os.queries.runningPrograms = {u"OUTLOOK.EXE"}; },
     Written{EventType::kInformation, 1000,
             Texts(u"OK", u"0", u"", u"C:\\Logs\\Scheduler071226020000.log", u"2026-12-07T02:00:00",
                   u"2026-12-07T02:03:41", u"1.0.0.7", u"2", u"BRINMOOR\\avery",
                   u"Larkspan Nightly", u"", u"", u"2026-12-07T02:00:00+00:00",
                   u"2026-12-07T02:03:41+00:00")}},
    {Texts(u"--eventlog"), 1, u"Verdict: WARN",
     [](auto& os) {
       os.tasks.failure = task_result::kNotFound;
       os.clock.SetZoneOffset(330);
     },
     Written{EventType::kWarning, 1001,
             Texts(u"WARN", u"1",
                   u"task WARN: There is no task \"Larkspan Nightly\": no scheduled run on this "
                   u"machine under that name. Create it as the README shows, or name yours with "
                   u"--task.",
                   u"C:\\Logs\\Scheduler071226020000.log", u"2026-12-07T02:00:00",
                   u"2026-12-07T02:03:41", u"1.0.0.7", u"2", u"BRINMOOR\\avery",
                   u"Larkspan Nightly", u"task", u"", u"2026-12-07T02:00:00+05:30",
                   u"2026-12-07T02:03:41+05:30")}},
    {Texts(u"--eventlog"), 2, u"Verdict: FAIL",
     [](auto& os) {
       SetWait(os, 5);
       Mutex(MutexState::kOtherObject)(os);
       os.clock.SetZoneOffset(-300);
     },
     Written{EventType::kError, 1002,
             Texts(u"FAIL", u"2",
                   u"wait-seconds WARN: A run waits only 5 s for Outlook to start: the add-in may "
                   u"not have started its synchronization when the wait ends. Set "
                   u"WaitSecondsForOutlookStart to 10 or more.\nsync-now FAIL: The name "
                   u"LSSyncMutex belongs to another kind of object: a -s -e run cannot wait for "
                   u"the add-in and logs an error. Restart the session or the computer.",
                   u"C:\\Logs\\Scheduler071226020000.log", u"2026-12-07T02:00:00",
                   u"2026-12-07T02:03:41", u"1.0.0.7", u"2", u"BRINMOOR\\avery",
                   u"Larkspan Nightly", u"wait-seconds,sync-now", u"",
                   u"2026-12-07T02:00:00-05:00", u"2026-12-07T02:03:41-05:00")}},
    // A newest log that is not a log, no LSScheduler.exe beside the tool.
    {Texts(u"--eventlog", u"--only", u"last-run"), 1, u"Verdict: WARN",
     [](auto& os) {
       os.disk.AddFile(u"C:\\Logs\\Scheduler081226020000.log", "x");
       os.files.RemoveFile(u"C:\\Program Files\\Larkspan\\LSScheduler.exe");
     },
     Written{EventType::kWarning, 1001,
             Texts(u"WARN", u"1",
                   u"last-run WARN: The newest log C:\\Logs\\Scheduler081226020000.log is not in "
                   u"the scheduler's format (it does not begin with a line break): the last run "
                   u"cannot be judged.",
                   u"C:\\Logs\\Scheduler081226020000.log", u"-", u"-", u"not found", u"2",
                   u"BRINMOOR\\avery", u"Larkspan Nightly", u"last-run", u"", u"", u"")}},
    // No last-run check, a scheduler without a version.
    {Texts(u"--eventlog", u"--only", u"toolbar"), 0, u"Verdict: OK",
     [](auto& os) { os.disk.fileVersions.clear(); },
     Written{EventType::kInformation, 1000,
             Texts(u"OK", u"0", u"", u"-", u"-", u"-", u"not found", u"2", u"BRINMOOR\\avery",
                   u"", u"", u"", u"", u"")}},
    // The first error entry that carries a code gives it, in upper case; the
    // task named with --task.
    {Texts(u"--eventlog", u"--only", u"last-run", u"--task", u"Other"), 2, u"Verdict: FAIL",
     [](auto& os) {
       os.disk.AddFile(u"C:\\Logs\\Scheduler081226020000.log",
                       "\r\n08-12-26 02:00:00: LSScheduler Error: Can't find Outlook.exe"
                       "\r\n08-12-26 02:00:01: LSScheduler Error: Code = 8004010f,Meaning = x,"
                       "Source = (null),Description = (null)"
                       "\r\n08-12-26 02:00:02: LSScheduler Error: Code = 8000ffff, Description = "
                       "Out of memory.");
     },
     Written{EventType::kError, 1002,
             Texts(u"FAIL", u"2",
                   u"last-run FAIL: The run of 08-12-26 02:00:00 logged an error: LSScheduler "
                   u"Error: Can't find Outlook.exe | LSScheduler Error: Code = 8004010f,Meaning = "
                   u"x,Source = (null),Description = (null) | LSScheduler Error: Code = 8000ffff, "
                   u"Description = Out of memory.",
                   u"C:\\Logs\\Scheduler081226020000.log", u"2026-12-08T02:00:00",
                   u"2026-12-08T02:00:02", u"1.0.0.7", u"2", u"BRINMOOR\\avery", u"Other",
                   u"last-run", u"0x8004010F", u"2026-12-08T02:00:00+00:00",
                   u"2026-12-08T02:00:02+00:00")}},
    // A run into the new year ends in it; the offset is the zone's at each end.
    {Texts(u"--eventlog", u"--only", u"last-run"), 0, u"Verdict: OK",
     [](auto& os) {
       os.disk.AddFile(u"C:\\Logs\\Scheduler311226235958.log",
                       "\r\n31-12-26 23:59:58: KSScheduler: MAPIInitialize"
                       "\r\n01-01-27 00:00:03: KSScheduler: MAPI MAPIUninitialize");
       os.clock.SetZoneOffset(60);
       os.clock.SetLocalTime(LocalTime{2027, 1, 2, 12, 0, 0});
     },
     Written{EventType::kInformation, 1000,
             Texts(u"OK", u"0", u"", u"C:\\Logs\\Scheduler311226235958.log",
                   u"2026-12-31T23:59:58", u"2027-01-01T00:00:03", u"1.0.0.7", u"2",
                   u"BRINMOOR\\avery", u"Larkspan Nightly", u"", u"",
                   u"2026-12-31T23:59:58+01:00", u"2027-01-01T00:00:03+01:00")}},
    // A zone that cannot be read: the times without offset stay.
    {Texts(u"--eventlog", u"--only", u"last-run"), 0, u"Verdict: OK",
     [](auto& os) {
       os.queries.failUtcOffset = true;
       os.queries.userName.clear();
     },
     Written{EventType::kInformation, 1000,
             Texts(u"OK", u"0", u"", u"C:\\Logs\\Scheduler071226020000.log",
                   u"2026-12-07T02:00:00", u"2026-12-07T02:03:41", u"1.0.0.7", u"2", u"",
                   u"Larkspan Nightly", u"", u"", u"", u"")}},
    {Texts(u"--eventlog"), 1,
     u"eventlog         WARN   The verdict could not be written to the Application log: Access "
     u"is denied.\n\nVerdict: WARN (exit code 1)",
     [](auto& os) { os.eventLog.result = 5; }},
};

INSTANTIATE_TEST_SUITE_P(Table, Options, testing::ValuesIn(kOptions));

TEST(JsonStrings, AreEscaped) {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"", u"\"\""},
      {u"a\nb\r\t\b\f", u"\"a\\nb\\r\\t\\b\\f\""},
      {std::u16string(u"\0\x01\x1f\x7f", 4), u"\"\\u0000\\u0001\\u001f\\u007f\""},
      {u"Caf\u00E9 \u65E5 /", u"\"Caf\u00E9 \u65E5 /\""}};
  for (const auto& [text, json] : cases) EXPECT_EQ(JsonString(text), json) << Narrow(json);
}

}  // namespace
}  // namespace lss::test
