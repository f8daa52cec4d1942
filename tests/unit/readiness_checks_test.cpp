#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "check/check_output.h"
#include "check/check_tool.h"
#include "check/task_check.h"
#include "check_test_helpers.h"
#include "fake/fake_check_platform.h"

namespace lss::test {
namespace {

using ::testing::HasSubstr;

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
  EXPECT_THAT(Wide(found->message), HasSubstr(Wide(c.message)));
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
    {.what = "ARM64 OUTLOOK.EXE",
     .change = Exe(ProgramFile(0xAA64)),
     .id = u"outlook",
     .status = kInfo,
     .message =
         u"Outlook is at C:\\Office\\OUTLOOK.EXE (ARM64): a run starts Outlook but does not load "
         u"it, so an Arm build serves as well as an x64 one; the mapi check judges the MAPI "
         u"library a "
         u"run does load."},
    {.what = "Arm64X OUTLOOK.EXE",
     .change = Exe(PeFile({.machine = 0xAA64, .chpe = 0x180004000})),
     .id = u"outlook",
     .status = kInfo,
     .message = u"Outlook is at C:\\Office\\OUTLOOK.EXE (Arm64X): a run starts Outlook"},
    {.what = "Arm64EC-marked x64 OUTLOOK.EXE",
     .change = Exe(PeFile({.chpe = 0x140004000})),
     .id = u"outlook",
     .status = kOk,
     .message = u"Outlook is at C:\\Office\\OUTLOOK.EXE (Arm64EC)."},
    {.what = "x64 OUTLOOK.EXE with a load configuration",
     .change = Exe(PeFile({})),
     .id = u"outlook",
     .status = kOk,
     .message = u"Outlook is at C:\\Office\\OUTLOOK.EXE (x64)."},
    {.what = "OUTLOOK.EXE starting MX with a PE header",
     .change = Exe(ProgramFile(0x8664).replace(1, 1, "X")),
     .id = u"outlook",
     .status = kWarn,
     .message = u"(found: not a program file (it does not start with MZ))"},
    {.what = "OUTLOOK.EXE starting ZZ with a PE header",
     .change = Exe(ProgramFile(0x8664).replace(0, 1, "Z")),
     .id = u"outlook",
     .status = kWarn,
     .message = u"(found: not a program file (it does not start with MZ))"},
    {.what = "a 64-byte OUTLOOK.EXE",
     .change = Exe(ProgramFile(0x8664, 0x80, 0x40)),
     .id = u"outlook",
     .status = kWarn,
     .message =
         u"(found: not a complete program file (its PE header offset 0x80 points past the 64 bytes "
         u"read))"},
    {.what = "OUTLOOK.EXE of another machine type",
     .change = Exe(ProgramFile(0x1C4)),
     .id = u"outlook",
     .status = kWarn,
     .message = u"(found: machine type 0x1C4)"},
    {.what = "OUTLOOK.EXE cut short in its DOS header",
     .change = Exe(ProgramFile(0x8664, 0x80, 0x3E)),
     .id = u"outlook",
     .status = kWarn,
     .message =
         u"(found: not a complete program file (it ends after 62 bytes, inside its DOS header))"},
    {.what = "OUTLOOK.EXE with MZ but no PE signature",
     .change = Exe(ProgramFile(0x8664).replace(0x81, 1, "X")),
     .id = u"outlook",
     .status = kWarn,
     .message = u"(found: not a program file (no PE signature at offset 0x80))"},
    {.what = "a PE offset past the end of OUTLOOK.EXE",
     .change = Exe(ProgramFile(0x8664, 0x7FFFFFFF, 0x300)),
     .id = u"outlook",
     .status = kWarn,
     .message = u"(found: not a complete program file (its PE header offset 0x7FFFFFFF points past "
                u"the 512 "
                u"bytes read))"},
    {.what = "a PE header ending just past the end of OUTLOOK.EXE",
     .change = Exe(ProgramFile(0x8664, 0x1FB, 0x200)),
     .id = u"outlook",
     .status = kWarn,
     .message = u"offset 0x1FB points past the 512 bytes read"},
    {.what = "a PE header beyond the first 512 bytes",
     .change = Exe(ProgramFile(0x8664, 0xFFA, 0x1200)),
     .id = u"outlook",
     .status = kOk,
     .message = u"Outlook is at C:\\Office\\OUTLOOK.EXE (x64)."},
    {.what = "a PE header beyond the first 4 KiB",
     .change = Exe(ProgramFile(0x8664, 0xFFB, 0x1200)),
     .id = u"outlook",
     .status = kWarn,
     .message = u"offset 0xFFB points past the 512 bytes read"},
    {.what = "a 32-bit MAPI library",
     .change = [](auto& os) { os.disk.AddFile(u"C:\\Office\\olmapi32.dll", ProgramFile(0x14C)); },
     .id = u"mapi",
     .status = kFail,
     .message =
         u"32-bit Outlook: LSScheduler.exe is a 64-bit program and cannot use a 32-bit Outlook's "
         u"MAPI; install 64-bit Office (C:\\Office\\olmapi32.dll is x86)."},
    {.what = "a MAPI library that is not a program file",
     .change = [](auto& os) { os.disk.AddFile(u"C:\\Office\\olmapi32.dll", ""); },
     .id = u"mapi",
     .status = kWarn,
     .message =
         u"C:\\Office\\olmapi32.dll is not an x64 program file (found: not a program file (it does "
         u"not start with MZ))"},
    {.what = "an x64 MAPI library",
     .id = u"mapi",
     .status = kOk,
     .message =
         u"MAPI can reach the mail client Microsoft Outlook (C:\\Office\\olmapi32.dll, x64)."},
    {.what = "an x64 MAPI library with a load configuration",
     .change = Mapi({}),
     .id = u"mapi",
     .status = kOk,
     .message =
         u"MAPI can reach the mail client Microsoft Outlook (C:\\Office\\olmapi32.dll, x64)."},
    {.what = "an Arm64EC-marked x64 MAPI library",
     .change = Mapi({.chpe = 0x180004000}),
     .id = u"mapi",
     .status = kOk,
     .message =
         u"MAPI can reach the mail client Microsoft Outlook (C:\\Office\\olmapi32.dll, Arm64EC)."},
    {.what = "an Arm64X MAPI library",
     .change = Mapi({.machine = 0xAA64, .chpe = 0x180004000}),
     .id = u"mapi",
     .status = kOk,
     .message =
         u"MAPI can reach the mail client Microsoft Outlook (C:\\Office\\olmapi32.dll, Arm64X)."},
    {.what = "an Arm64X MAPI library with CHPE metadata above 4 GiB",
     .change = Mapi({.machine = 0xAA64, .chpe = 0x100000000}),
     .id = u"mapi",
     .status = kOk,
     .message = u"olmapi32.dll, Arm64X)."},
    {.what = "an Arm64X MAPI library whose load configuration just holds the pointer",
     .change = Mapi({.machine = 0xAA64, .chpe = 1, .configSize = 208}),
     .id = u"mapi",
     .status = kOk,
     .message = u"Arm64X)."},
    {.what = "a pure Arm64 MAPI library",
     .change = Mapi({.machine = 0xAA64}),
     .id = u"mapi",
     .status = kFail,
     .message =
         u"C:\\Office\\olmapi32.dll, the MAPI library of the mail client Microsoft Outlook, has no "
         u"x64 code (found: ARM64): an x64 program cannot load an Arm64 MAPI library; a -s -e run "
         u"cannot log on. Install Microsoft 365 Apps for Arm, whose MAPI library is Arm64X."},
    {.what = "an Arm64 MAPI library with only the header",
     .change = [](auto& os) { os.disk.AddFile(u"C:\\Office\\olmapi32.dll", ProgramFile(0xAA64)); },
     .id = u"mapi",
     .status = kFail,
     .message = u"has no x64 code (found: ARM64)"},
    {.what = "an Arm64 MAPI library without a load configuration",
     .change = Mapi({.machine = 0xAA64, .chpe = 1, .configAddress = 0}),
     .id = u"mapi",
     .status = kFail,
     .message = u"has no x64 code (found: ARM64)"},
    {.what = "an Arm64 MAPI library whose load configuration is too short for the pointer",
     .change = Mapi({.machine = 0xAA64, .chpe = 1, .configSize = 207}),
     .id = u"mapi",
     .status = kFail,
     .message = u"has no x64 code (found: ARM64)"},
    {.what = "an Arm64 MAPI library whose load configuration is cut short",
     .change = Mapi({.machine = 0xAA64, .chpe = 1, .fileSize = 0x400 + 207}),
     .id = u"mapi",
     .status = kFail,
     .message = u"has no x64 code (found: ARM64 (its load configuration is cut short))"},
    {.what = "an Arm64 MAPI library whose section table is cut short",
     .change = Mapi({.machine = 0xAA64, .chpe = 1, .fileSize = 0x1AF}),
     .id = u"mapi",
     .status = kFail,
     .message = u"(found: ARM64 (its load configuration is cut short))"},
    {.what = "an Arm64X MAPI library whose section table ends within 64 KiB",
     .change = Mapi({.machine = 0xAA64, .chpe = 1, .sections = 1628, .fileSize = 0x10200}),
     .id = u"mapi",
     .status = kOk,
     .message = u"Arm64X)."},
    {.what = "an Arm64 MAPI library whose section table goes beyond 64 KiB",
     .change = Mapi({.machine = 0xAA64, .chpe = 1, .sections = 1629, .fileSize = 0x10200}),
     .id = u"mapi",
     .status = kFail,
     .message = u"(found: ARM64 (its load configuration is cut short))"},
    {.what = "an Arm64X MAPI library ending with its load configuration",
     .change = Mapi({.machine = 0xAA64, .chpe = 1, .fileSize = 0x400 + 208}),
     .id = u"mapi",
     .status = kOk,
     .message = u"Arm64X)."},
    {.what = "an Arm64 MAPI library whose load configuration is past its end",
     .change = Mapi({.machine = 0xAA64, .chpe = 1, .rawPointer = 0x600}),
     .id = u"mapi",
     .status = kFail,
     .message = u"(found: ARM64 (its load configuration lies outside the file))"},
    {.what = "an Arm64 MAPI library whose load configuration is in no section",
     .change = Mapi({.machine = 0xAA64, .chpe = 1, .configAddress = 0x1200, .fileSize = 0x800}),
     .id = u"mapi",
     .status = kFail,
     .message = u"(found: ARM64 (its load configuration lies outside the file))"},
    {.what = "no App Paths key",
     .change = [](auto& os) { os.registry.DeleteKey(kAppPaths); },
     .id = u"outlook",
     .status = kFail,
     .message = u"OUTLOOK.EXE is missing: a run logs \"Can't find Outlook.exe\""},
    {.what = "an App Paths key that cannot be opened",
     .change = [](auto& os) { os.registry.FailKey(kAppPaths); },
     .id = u"outlook",
     .status = kFail,
     .message = u"OUTLOOK.EXE cannot be opened (Access is denied)"},
    {.what = "no Path value",
     .change = [](auto& os) { os.registry.DeleteValue(kAppPaths, u"Path"); },
     .id = u"outlook",
     .status = kFail,
     .message = u"has no value Path"},
    {.what = "Path of another type",
     .change =
         [](auto& os) {
           os.registry.Set(kAppPaths, u"Path", reg::kExpandSz, Utf16(u"C:\\Office\\"));
         },
     .id = u"outlook",
     .status = kFail,
     .message = u"Path of OUTLOOK.EXE is REG_EXPAND_SZ, not REG_SZ"},
    {.what = "Path without its backslash",
     .change = [](auto& os) { os.registry.SetString(kAppPaths, u"Path", u"C:\\Office"); },
     .id = u"outlook",
     .status = kFail,
     .message = u"a run would start C:\\OfficeOUTLOOK.EXE"},
    {.what = "Path too long to read",
     .change =
         [](auto& os) {
           os.registry.SetString(kAppPaths, u"Path", std::u16string(1100, u'x') + u"\\");
         },
     .id = u"outlook",
     .status = kFail,
     .message = u"cannot be read (error 234)"},
    {.what = "OUTLOOK.EXE missing",
     .change = [](auto& os) { os.registry.SetString(kAppPaths, u"Path", u"C:\\Gone\\"); },
     .id = u"outlook",
     .status = kFail,
     .message = u"C:\\Gone\\OUTLOOK.EXE, named by Outlook's App Paths entry, does not exist"},
    {.what = "no system MAPI",
     .change = [](auto& os) { os.queries.systemDirectory = u"C:\\Windows\\Elsewhere"; },
     .id = u"mapi",
     .status = kFail,
     .message = u"C:\\Windows\\Elsewhere\\mapi32.dll is missing"},
    {.what = "no default mail client",
     .change = [](auto& os) { SetMachineText(os, k64Bit, kMail, u"", std::nullopt); },
     .id = u"mapi",
     .status = kFail,
     .message = u"No default mail client is registered"},
    {.what = "32-bit Outlook",
     .change =
         [](auto& os) {
           SetMachineText(os, k64Bit, kMail, u"", std::nullopt);
           SetMachineText(os, k32Bit, kMail, u"", u"Microsoft Outlook");
         },
     .id = u"mapi",
     .status = kFail,
     .message = u"this 64-bit program needs 64-bit Outlook"},
    {.what = "DLLPathEx only in the 32-bit view",
     .change =
         [](auto& os) {
           SetMachineText(os, k64Bit, kOutlookClient, u"DLLPathEx", std::nullopt);
           SetMachineText(os, k32Bit, kOutlookClient, u"DLLPathEx", u"C:\\Office\\olmapi32.dll");
         },
     .id = u"mapi",
     .status = kFail,
     .message = u"Microsoft Outlook is registered only for 32-bit programs"},
    {.what = "no DLLPathEx",
     .change =
         [](auto& os) {
           SetMachineText(os, k64Bit, kMail, u"", u"Other Mail");
           SetMachineText(os, k64Bit, u"Software\\Clients\\Mail\\Other Mail", u"DLLPath", u"x");
         },
     .id = u"mapi",
     .status = kWarn,
     .message = u"The mail client Other Mail has no DLLPathEx"},
    {.what = "DLLPathEx names no file",
     .change =
         [](auto& os) {
           SetMachineText(os, k64Bit, kOutlookClient, u"DLLPathEx", u"C:\\Gone\\x.dll");
         },
     .id = u"mapi",
     .status = kFail,
     .message = u"names C:\\Gone\\x.dll as its MAPI library, which does not exist"},
    {.what = "no LogDirectory",
     .change = [](auto& os) { os.registry.DeleteValue(kSettings, u"LogDirectory"); },
     .id = u"log-folder",
     .status = kWarn,
     .message = u"LogDirectory is not set: runs leave no record"},
    {.what = "LogDirectory of another type",
     .change = LogDirectory(u"C:\\Logs", reg::kMultiSz),
     .id = u"log-folder",
     .status = kFail,
     .message = u"LogDirectory is REG_MULTI_SZ, not REG_SZ or REG_EXPAND_SZ"},
    {.what = "REG_EXPAND_SZ LogDirectory is expanded",
     .change = LogDirectory(u"%Logs%", reg::kExpandSz),
     .id = u"log-folder",
     .status = kOk,
     .message = u"Runs log to C:\\Logs."},
    {.what = "last-run reads the expanded folder",
     .change = LogDirectory(u"%Logs%\\", reg::kExpandSz),
     .id = u"last-run",
     .status = kOk,
     .message = u"The run of 07-12-26 02:00:00 ended"},
    {.what = "REG_SZ LogDirectory keeps its %",
     .change = LogDirectory(u"%Logs%"),
     .id = u"log-folder",
     .status = kFail,
     .message =
         u"The log folder %Logs% does not exist, and runs cannot create it: no folder above it "
         u"exists"},
    {.what = "a missing folder a run creates",
     .change = LogDirectory(u"C:\\Users\\ana\\Logs"),
     .id = u"log-folder",
     .status = kInfo,
     .message = u"The log folder C:\\Users\\ana\\Logs does not exist yet; the next run creates it.",
     .verdict = kFail},
    {.what = "a missing folder below a file",
     .change = LogDirectory(u"C:\\Users\\ana\\Logs", reg::kSz, u"C:\\Users"),
     .id = u"log-folder",
     .status = kFail,
     .message = u"The log folder C:\\Users\\ana\\Logs does not exist, and runs cannot create it: "
                u"C:\\Users "
                u"is a file."},
    {.what = "a missing folder where none may be created",
     .change =
         [](auto& os) {
           os.files.DenyCreate(true);
           LogDirectory(u"C:\\New\\Logs")(os);
         },
     .id = u"log-folder",
     .status = kFail,
     .message = u"no folder can be created in C:\\ (Access is denied)"},
    {.what = "a missing folder with a name Windows refuses",
     .change = LogDirectory(u"C:\\Logs \"x\""),
     .id = u"log-folder",
     .status = kFail,
     .message = u"its name holds a character that Windows does not allow in names"},
    {.what = "a missing folder on a missing drive",
     .change = LogDirectory(u"Q:\\Logs"),
     .id = u"log-folder",
     .status = kFail,
     .message = u"no folder above it exists (no such drive or share)"},
    {.what = "LogDirectory is a file",
     .change = LogDirectory(u"C:\\Logfile", reg::kSz, u"C:\\Logfile"),
     .id = u"log-folder",
     .status = kFail,
     .message = u"LogDirectory C:\\Logfile is a file, not a folder"},
    {.what = "a folder too long for a log file",
     .change =
         [](auto& os) {
           os.environment.variables[u"DEEP"] = std::u16string(240, u'd');
           os.disk.AddFolder(u"C:\\" + std::u16string(240, u'd'));
           LogDirectory(u"C:\\%DEEP%", reg::kExpandSz)(os);
         },
     .id = u"log-folder",
     .status = kFail,
     .message = u"is too long: a log file in it would have a path of 269 characters"},
    // C:\ and 230 characters, then \Scheduler<12 digits>.log: 259, the longest a run opens.
    {.what = "a folder whose log path has 259 characters",
     .change =
         [](auto& os) {
           os.disk.AddFolder(u"C:\\" + std::u16string(230, u'd'));
           LogDirectory(u"C:\\" + std::u16string(230, u'd'))(os);
         },
     .id = u"log-folder",
     .status = kOk,
     .message = u"Runs log to C:\\dddd",
     .verdict = kFail},
    // no run's log there yet
    {.what = "a folder whose log path has 260 characters",
     .change =
         [](auto& os) {
           os.disk.AddFolder(u"C:\\" + std::u16string(231, u'd'));
           LogDirectory(u"C:\\" + std::u16string(231, u'd'))(os);
         },
     .id = u"log-folder",
     .status = kFail,
     .message = u"is too long: a log file in it would have a path of 260 characters"},
    {.what = "a missing folder named with the long-path prefix",
     .change = LogDirectory(u"\\\\?\\C:\\New"),
     .id = u"log-folder",
     .status = kInfo,
     .message = u"The log folder \\\\?\\C:\\New does not exist yet; the next run creates it.",
     .verdict = kFail},
    {.what = "log folder not writable",
     .change = [](auto& os) { os.files.DenyCreate(true); },
     .id = u"log-folder",
     .status = kFail,
     .message = u"No file can be created in C:\\Logs: Access is denied."},
    {.what = "a probe file that cannot be deleted",
     .change = [](auto& os) { os.files.DenyRemove(true); },
     .id = u"log-folder",
     .status = kFail,
     .message =
         u"The test file C:\\Logs\\LSSchedulerCheck.probe cannot be deleted: Access is denied.",
     .verdict = kFail,
     .probeLeft = true},
    {.what = "a wait of 10 s",
     .change = [](auto& os) { SetWait(os, 10); },
     .id = u"wait-seconds",
     .status = kOk,
     .message = u"waits 10 s"},
    {.what = "a wait of 0",
     .change = [](auto& os) { SetWait(os, 0); },
     .id = u"wait-seconds",
     .status = kOk,
     .message = u"waits 15 s"},
    {.what = "a negative wait",
     .change = [](auto& os) { SetWait(os, 0xFFFFFFFD); },
     .id = u"wait-seconds",
     .status = kOk,
     .message = u"so the default is used"},
    {.what = "a wait stored as long text",
     .change =
         [](auto& os) { os.registry.SetString(kSettings, u"WaitSecondsForOutlookStart", u"30"); },
     .id = u"wait-seconds",
     .status = kOk,
     .message = u"waits 15 s"},
    {.what = "a pending toolbar block",
     .change = [](auto& os) { os.registry.SetDword(kSettings, u"BlockToolbarLoadOrg", 0); },
     .id = u"toolbar",
     .status = kWarn,
     .message = u"pending (BlockToolbarLoadOrg = 0): an earlier run was interrupted"},
    {.what = "a toolbar block of the run going on now",
     .change =
         [](auto& os) {
           os.registry.SetDword(kSettings, u"BlockToolbarLoadOrg", 0);
           os.queries.runningPrograms = {u"LSScheduler.exe"};
         },
     .id = u"toolbar",
     .status = kOk,
     .message = u"blocked for the run going on now"},
    {.what = "no toolbar block",
     .change =
         [](auto& os) { os.registry.SetDword(kSettings, u"BlockToolbarLoadOrg", 0xFFFFFFFF); },
     .id = u"toolbar",
     .status = kOk,
     .message = u"No toolbar block is pending."},
    {.what = "no mutex",
     .id = u"sync-now",
     .status = kInfo,
     .message = u"(LSSyncMutex does not exist)"},
    {.what = "the add-in syncing",
     .change = Mutex(MutexState::kHeld),
     .id = u"sync-now",
     .status = kInfo,
     .message = u"synchronizing now (it holds LSSyncMutex)"},
    {.what = "a free mutex",
     .change = Mutex(MutexState::kFree),
     .id = u"sync-now",
     .status = kInfo,
     .message = u"The add-in is not synchronizing now."},
    {.what = "an abandoned mutex",
     .change = Mutex(MutexState::kAbandoned),
     .id = u"sync-now",
     .status = kInfo,
     .message = u"ended without releasing LSSyncMutex"},
    {.what = "the name taken by an event",
     .change = Mutex(MutexState::kOtherObject),
     .id = u"sync-now",
     .status = kFail,
     .message = u"belongs to another kind of object"},
    {.what = "a mutex that cannot be looked at",
     .change = Mutex(MutexState::kUnknown, 5),
     .id = u"sync-now",
     .status = kWarn,
     .message = u"The state of LSSyncMutex cannot be read: Access is denied."},
    {.what = "a Task Scheduler that cannot be asked",
     .change = [](auto& os) { os.tasks.failure = 5; },
     .id = u"task",
     .status = kWarn,
     .message = u"cannot be read from the Task Scheduler: Access is denied."},
    {.what = "a task run as SYSTEM",
     .change = Task([](auto& t) { t.userId = u"SYSTEM"; }),
     .id = u"task",
     .status = kFail,
     .message = u"runs as SYSTEM: that account has no desktop session"},
    {.what = "a task run by the group of LocalSystem",
     .change = Task([](auto& t) {
       t.userId.clear();
       t.groupId = u"S-1-5-18";
     }),
     .id = u"task",
     .status = kFail,
     .message = u"runs as S-1-5-18"},
    {.what = "a task run whether the user is logged on or not",
     .change = Task([](auto& t) { t.logonType = TaskLogonType::kPassword; }),
     .id = u"task",
     .status = kFail,
     .message = u"logged on or not (logon type Password)"},
    {.what = "a task run with S4U",
     .change = Task([](auto& t) { t.logonType = TaskLogonType::kS4U; }),
     .id = u"task",
     .status = kFail,
     .message = u"(logon type S4U)"},
    {.what = "an action in another folder",
     .change =
         [](auto& os) {
           os.disk.AddFile(u"D:\\Old\\LSScheduler.exe");
           Task([](auto& t) { t.execActions.front().path = u"D:\\Old\\LSScheduler.exe"; })(os);
         },
     .id = u"task",
     .status = kFail,
     .message = u"does not start C:\\Program Files\\Larkspan\\LSScheduler.exe (its action starts "
                u"D:\\Old\\LSScheduler.exe)"},
    {.what = "a quoted action after another action",
     .change = Task([](auto& t) {
       t.execActions.front().path = u" \"C:\\Program Files\\Larkspan\\lsscheduler.EXE\"";
       t.execActions.insert(t.execActions.begin(), {u"cmd.exe", u"/c echo"});
     }),
     .id = u"task",
     .status = kOk,
     .message = u"ended well"},
    {.what = "an action whose file is gone",
     .change =
         [](auto& os) { os.files.RemoveFile(u"C:\\Program Files\\Larkspan\\LSScheduler.exe"); },
     .id = u"task",
     .status = kFail,
     .message = u"LSScheduler.exe, which does not exist"},
    {.what = "an action without -s",
     .change = Task([](auto& t) { t.execActions.front().arguments = u"-e -p s"; }),
     .id = u"task",
     .status = kFail,
     .message = u"without -s: a run only hands its values"},
    {.what = "an action without -e",
     .change = Task([](auto& t) { t.execActions.front().arguments = u"-s -p e"; }),
     .id = u"task",
     .status = kWarn,
     .message = u"without -e: Outlook stays open after each run"},
    {.what = "flags spelled /S and /exit",
     .change = Task([](auto& t) { t.execActions.front().arguments = u"/S /exit"; }),
     .id = u"task",
     .status = kOk,
     .message = u"ended well"},
    {.what = "a last run ended by the time limit",
     .change = Task(task_result::kTerminated),
     .id = u"task",
     .status = kFail,
     .message = u"last run (07-12-26 02:00:00) was ended by its time limit (0x00041306)"},
    {.what = "a last run that failed, without the check action",
     .change = Task(1, {kRunAction}),
     .id = u"task",
     .status = kFail,
     .message = u"ended with 0x00000001: Incorrect function."},
    {.what = "last result 2 without the check action",
     .change = Task(2, {kRunAction}),
     .id = u"task",
     .status = kFail,
     .message = u"ended with 0x00000002: The system cannot find the file specified."},
    {.what = "last result 1 after the check action",
     .change = Task(1),
     .id = u"task",
     .status = kWarn,
     .message =
         u"The task's last run (07-12-26 02:00:00) ended with 0x00000001: the check after the last "
         u"run found a warning: its event 1001"},
    {.what = "last result 2 after the check action",
     .change = Task(2),
     .id = u"task",
     .status = kFail,
     .message = u"ended with 0x00000002: the check after the last run found that the run failed. "
                u"Its event "
                u"1002"},
    {.what = "last result 2 after the check action, without -e",
     .change = Task([](auto& t) {
       t.execActions.front().arguments = u"-s -n Nightly";
       t.lastResult = 2;
     }),
     .id = u"task",
     .status = kFail,
     .message = u"found that the run failed"},
    {.what = "last result 1 with the check action first",
     .change = Task(1, {kCheckAction, kRunAction}),
     .id = u"task",
     .status = kFail,
     .message = u"ended with 0x00000001: Incorrect function."},
    {.what = "the check action missing",
     .change = Task(0, {kRunAction}),
     .id = u"task",
     .status = kInfo,
     .message =
         u"ended well. Note: the task writes no verdict after its run; add the second action of "
         u"the "
         u"template (C:\\Program Files\\Larkspan\\LSSchedulerCheck.exe --only last-run,toolbar "
         u"--eventlog)."},
    {.what = "the check action before the run's",
     .change = Task(0, {kCheckAction, kRunAction}),
     .id = u"task",
     .status = kInfo,
     .message = u"ended well. Note: the task writes no verdict after its run"},
    {.what = "a check action of another folder",
     .change = Task([](auto& t) { t.execActions.back().path = u"D:\\Old\\LSSchedulerCheck.exe"; }),
     .id = u"task",
     .status = kInfo,
     .message = u"the task writes no verdict after its run"},
    {.what = "the check action missing and the task never run",
     .change = Task([](auto& t) {
       t.execActions = {kRunAction};
       t.lastRun.reset();
       t.lastResult = task_result::kHasNotRun;
     }),
     .id = u"task",
     .status = kInfo,
     .message = u"it has not run yet. Note: the task writes no verdict after its run"},
    {.what = "a task never run, with the check action",
     .change = Task([](auto& t) {
       t.lastRun.reset();
       t.lastResult = task_result::kHasNotRun;
     }),
     .id = u"task",
     .status = kInfo,
     .message = u"-n Nightly; it has not run yet."},
    {.what = "a last result of access denied",
     .change =
         [](auto& os) {
           os.messages.Set(0x80070005, u"Access is denied.\r\n");
           Task(HResult(0x80070005))(os);
         },
     .id = u"task",
     .status = kFail,
     .message = u"ended with 0x80070005: Access is denied."},
    {.what = "a task ready for its next run",
     .change = Task(task_result::kReady),
     .id = u"task",
     .status = kInfo,
     .message = u"-n Nightly; it is ready for its next run (0x00041300); the Task Scheduler does "
                u"not say how "
                u"its last run ended."},
    {.what = "a task running now",
     .change = Task(task_result::kRunning),
     .id = u"task",
     .status = kOk,
     .message = u"-n Nightly; it is running now."},
    {.what = "the task name the package recorded",
     .change =
         [](auto& os) {
           SetMachineText(os, k64Bit, kInstallerKey, u"TaskName", u"Brinmoor Sync Test");
           os.tasks.Add(u"Brinmoor Sync Test", GoodTask());
         },
     .id = u"task",
     .status = kOk,
     .message = u"The task \"Brinmoor Sync Test\" starts",
     .verdict = kOk,
     .probeLeft = false,
     .taskRead = u"Brinmoor Sync Test"},
    {.what = "--task over the name the package recorded",
     .change =
         [](auto& os) {
           SetMachineText(os, k64Bit, kInstallerKey, u"TaskName", u"Brinmoor Sync Test");
         },
     .id = u"task",
     .status = kOk,
     .message = u"The task \"Larkspan Nightly\" starts",
     .verdict = kOk,
     .probeLeft = false,
     .taskRead = u"Larkspan Nightly",
     .taskOption = u"Larkspan Nightly"},
    {.what = "an empty recorded task name",
     .change = [](auto& os) { SetMachineText(os, k64Bit, kInstallerKey, u"TaskName", u""); },
     .id = u"task",
     .status = kOk,
     .message = u"The task \"Larkspan Nightly\" starts"},
    {.what = "a task name recorded only for 32-bit programs",
     .change =
         [](auto& os) {
           SetMachineText(os, k32Bit, kInstallerKey, u"TaskName", u"Brinmoor Sync Test");
         },
     .id = u"task",
     .status = kOk,
     .message = u"The task \"Larkspan Nightly\" starts"},
    {.what = "a task that ran after the newest log",
     .change = Task([](auto& t) { t.lastRun = LocalTime{2026, 12, 8, 2, 0, 0}; }),
     .id = u"last-run",
     .status = kFail,
     .message = u"The task ran at 08-12-26 02:00:00 but left no run log: LSScheduler.exe could not "
                u"start, or "
                u"could not write its log. The newest run log: The run of 07-12-26 02:00:00 ended"},
    {.what = "a task that ran five minutes into the newest log",
     .change = Task([](auto& t) { t.lastRun = LocalTime{2026, 12, 7, 2, 5, 0}; }),
     .id = u"last-run",
     .status = kOk,
     .message = u"The run of 07-12-26 02:00:00 ended"},
    {.what = "a task that ran with only a start without -s since",
     .change =
         [](auto& os) {
           os.disk.AddFile(u"C:\\Logs\\Scheduler081226090000.log", "");
           Task([](auto& t) { t.lastRun = LocalTime{2026, 12, 8, 2, 0, 0}; })(os);
         },
     .id = u"last-run",
     .status = kFail,
     .message = u"The task ran at 08-12-26 02:00:00 but left no run log"},
    {.what = "a task that ran with only empty logs",
     .change =
         [](auto& os) {
           os.files.RemoveFile(u"C:\\Logs\\Scheduler071226020000.log");
           os.disk.AddFile(u"C:\\Logs\\Scheduler081226090000.log", "");
           Task([](auto& t) { t.lastRun = LocalTime{2026, 12, 8, 2, 0, 0}; })(os);
         },
     .id = u"last-run",
     .status = kFail,
     .message = u"The task ran at 08-12-26 02:00:00 but left no run log in C:\\Logs"},
};

INSTANTIATE_TEST_SUITE_P(, Situations, testing::ValuesIn(kSituations), RowName);

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
  const char* what;
  std::vector<std::u16string> arguments;
  int exitCode;
  // A part of standard error when the arguments are refused (64), else a part
  // of standard output, with nothing on standard error.
  std::u16string text;
  Change change = nullptr;            // of the good machine
  std::optional<Written> event = {};  // the one event written; none: no event
};

class Options : public testing::TestWithParam<OptionCase> {};

TEST_P(Options, GiveTheirOutputExitCodeAndEvent) {
  const OptionCase& c = GetParam();
  FakeCheckPlatform os;
  SetUpGoodMachine(os);
  if (c.change) c.change(os);
  RecordingConsole console;
  EXPECT_EQ(RunTool(os, console, c.arguments), c.exitCode);
  if (c.exitCode == 64) {
    EXPECT_THAT(Wide(console.error), HasSubstr(Wide(c.text)));
  } else {
    EXPECT_THAT(Wide(console.output), HasSubstr(Wide(c.text)));
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
    {.what = "no options: a table of the findings",
     .arguments = Texts(),
     .exitCode = 0,
     .text = u"last-run         OK     The run of 07-12-26 02:00:00 ended"},
    {.what = "--json: the tool, the schema, the machine and the verdict first",
     .arguments = Texts(u"--json"),
     .exitCode = 0,
     .text = u"{\"tool\":\"LSSchedulerCheck\",\"schema\":3,\"version\":\"1.2.3.4\",\"computer\":"
             u"\"PC-0417\",\"user\":\"BRINMOOR\\\\avery\",\"checkedAt\":\"2026-12-08T12:00:00Z\","
             u"\"nativeMachine\":\"x64\",\"schedulerVersion\":\"1.0.0.7\",\"verdict\":\"OK\","
             u"\"exitCode\":0,"},
    {.what = "--json: a finding's details",
     .arguments = Texts(u"--json"),
     .exitCode = 0,
     .text = u"\"details\":{\"file\":\"C:\\\\Logs\\\\Scheduler071226020000.log\",\"start\":"
             u"\"2026-12-07T02:00:00\""},
    {.what = "--json: an INFO finding",
     .arguments = Texts(u"--json"),
     .exitCode = 0,
     .text = u"{\"id\":\"outlook-running\",\"status\":\"INFO\","},
    {.what = "--json: the log folder and its retention days",
     .arguments = Texts(u"--json"),
     .exitCode = 0,
     .text = u"{\"id\":\"log-folder\",\"status\":\"OK\",\"message\":\"Runs log to C:\\\\Logs.\","
             u"\"details\":{\"folder\":\"C:\\\\Logs\",\"retentionDays\":\"0\"}}"},
    {.what = "--help: the usage line",
     .arguments = Texts(u"--help"),
     .exitCode = 0,
     .text = u"Usage: LSSchedulerCheck [--json | --quiet] [--only ID[,ID...]]"},
    {.what = "/? is --help",
     .arguments = Texts(u"/?"),
     .exitCode = 0,
     .text = u"Exit code: 0 all OK"},
    {.what = "--version: the tool's version",
     .arguments = Texts(u"--version"),
     .exitCode = 0,
     .text = u"LSSchedulerCheck 1.2.3.4\n"},
    {.what = "--max-age-hours 24 fails a run 34 hours old",
     .arguments = Texts(u"--max-age-hours", u"24"),
     .exitCode = 2,
     .text = u"No run since 07-12-26 02:00:00 (34 h ago"},
    {.what = "--max-age-hours=100000 takes its value after the equals sign",
     .arguments = Texts(u"--max-age-hours=100000"),
     .exitCode = 0,
     .text = u"Verdict: OK"},
    {.what = "--max-age-hours without a number is refused",
     .arguments = Texts(u"--max-age-hours"),
     .exitCode = 64,
     .text = u"--max-age-hours needs a number of hours"},
    {.what = "--max-age-hours 0 is out of range",
     .arguments = Texts(u"--max-age-hours", u"0"),
     .exitCode = 64,
     .text = u"from 1 to 876000, not \"0\""},
    {.what = "--max-age-hours=1x is no number",
     .arguments = Texts(u"--max-age-hours=1x"),
     .exitCode = 64,
     .text = u"not \"1x\""},
    {.what = "an unknown option is refused with a hint",
     .arguments = Texts(u"-s"),
     .exitCode = 64,
     .text = u"LSSchedulerCheck: unknown option: -s\nTry 'LSSchedulerCheck --help'.\n"},
    {.what = "an argument that is no option is refused",
     .arguments = Texts(u"--json", u"now"),
     .exitCode = 64,
     .text = u"unexpected argument: now"},
    {.what = "--task names another task, which is missing",
     .arguments = Texts(u"--task", u"Other"),
     .exitCode = 1,
     .text = u"task             WARN   There is no task \"Other\""},
    {.what = "--task of a missing task makes the verdict WARN",
     .arguments = Texts(u"--task", u"Other"),
     .exitCode = 1,
     .text = u"\nVerdict: WARN (exit code 1)\n"},
    {.what = "--task= takes a path from the root",
     .arguments = Texts(u"--task=\\Larkspan Nightly"),
     .exitCode = 0,
     .text = u"Verdict: OK"},
    {.what = "--task without a name is refused",
     .arguments = Texts(u"--task"),
     .exitCode = 64,
     .text = u"--task needs a task name"},
    {.what = "--task= with an empty name is refused",
     .arguments = Texts(u"--task="),
     .exitCode = 64,
     .text = u"--task needs a task name"},
    {.what = "--only lists the findings in the checks' order",
     .arguments = Texts(u"--only", u"last-run,task"),
     .exitCode = 0,
     .text = u"FINDING\ntask             OK     The task \"Larkspan Nightly\" starts C:\\Program "
             u"Files\\Larkspan\\LSScheduler.exe -s -e -p Work -n Nightly; its last run (07-12-26 "
             u"02:00:00) ended well.\nlast-run         OK "},
    {.what = "--only=wait-seconds leaves the missing task unchecked",
     .arguments = Texts(u"--only=wait-seconds", u"--task", u"Other"),
     .exitCode = 0,
     .text = u"FINDING\nwait-seconds     OK     A run waits 15 s for Outlook to start.\n\n"},
    {.what = "--only with an unknown check names every check",
     .arguments = Texts(u"--only", u"mapi,nope"),
     .exitCode = 64,
     .text =
         u"LSSchedulerCheck: unknown check \"nope\"; the checks are: outlook, mapi, log-folder, "
         u"wait-seconds, toolbar, outlook-running, sync-now, task, last-run\n"},
    {.what = "--only without a list is refused",
     .arguments = Texts(u"--only"),
     .exitCode = 64,
     .text = u"--only needs a list of check ids"},
    {.what = "--only with an empty id is refused",
     .arguments = Texts(u"--only", u"task,"),
     .exitCode = 64,
     .text = u"unknown check \"\""},
    {.what = "--quiet on a good machine: one line",
     .arguments = Texts(u"--quiet"),
     .exitCode = 0,
     .text = u"OK: nothing to do.\n"},
    {.what = "--collect without a folder is refused",
     .arguments = Texts(u"--collect"),
     .exitCode = 64,
     .text = u"--collect needs a folder"},
    {.what = "--collect with --json is refused",
     .arguments = Texts(u"--collect", u"C:\\B", u"--json"),
     .exitCode = 64,
     .text =
         u"--collect runs every check and writes both reports: it cannot be combined with --json, "
         u"--quiet, --only or --eventlog\n"},
    {.what = "--collect with --only is refused",
     .arguments = Texts(u"--only=task", u"--collect=C:\\B"),
     .exitCode = 64,
     .text = u"cannot be combined"},
    {.what = "--collect with --eventlog is refused",
     .arguments = Texts(u"--collect=C:\\B", u"--eventlog"),
     .exitCode = 64,
     .text = u"cannot be combined"},
    {.what = "--help describes --collect",
     .arguments = Texts(u"--help"),
     .exitCode = 0,
     .text = u"  --collect FOLDER    run every check and write a support"},
    {.what = "--quiet gives the worst finding",
     .arguments = Texts(u"--quiet", u"--task", u"Other", u"--max-age-hours", u"24"),
     .exitCode = 2,
     .text = u"FAIL: last-run: No run since 07-12-26 02:00:00 (34 h ago; the limit is 24 h)"},
    {.what = "--quiet gives one WARN whole",
     .arguments = Texts(u"--quiet", u"--task", u"Other"),
     .exitCode = 1,
     .text = u"WARN: task: There is no task \"Other\": no scheduled run on this machine under that "
             u"name. "
             u"Create it as the README shows, or name yours with --task.\n"},
    {.what = "--quiet counts the other findings",
     .arguments = Texts(u"--quiet"),
     .exitCode = 1,
     .text = u"Set WaitSecondsForOutlookStart to 10 or more. (and 1 more)\n",
     .change =
         [](auto& os) {
           SetWait(os, 5);
           os.tasks.failure = task_result::kNotFound;
         }},
    {.what = "--json and --quiet are refused together",
     .arguments = Texts(u"--json", u"--quiet"),
     .exitCode = 64,
     .text = u"--json and --quiet cannot be combined"},
    {.what = "--json: no scheduler beside the tool has no version",
     .arguments = kFacts,
     .exitCode = 0,
     .text = u",\"schedulerVersion\":null,",
     .change = [](auto& os) { os.queries.programPath.clear(); }},
    {.what = "--json: an unknown computer and user are empty",
     .arguments = kFacts,
     .exitCode = 0,
     .text = u",\"computer\":\"\",\"user\":\"\",",
     .change =
         [](auto& os) {
           os.queries.computerName.clear();
           os.queries.userName.clear();
         }},
    {.what = "--json: the epoch as the time of the check",
     .arguments = kFacts,
     .exitCode = 0,
     .text = u",\"checkedAt\":\"1970-01-01T00:00:00Z\",",
     .change = [](auto& os) { os.clock.SetNow(0); }},
    {.what = "--json: a leap day as the time of the check",
     .arguments = kFacts,
     .exitCode = 0,
     .text = u",\"checkedAt\":\"2024-02-29T23:59:59Z\",",
     .change = [](auto& os) { os.clock.SetNow(1709251199); }},
    {.what = "--json: a second before the epoch",
     .arguments = kFacts,
     .exitCode = 0,
     .text = u",\"checkedAt\":\"1969-12-31T23:59:59Z\",",
     .change = [](auto& os) { os.clock.SetNow(-1); }},
    {.what = "--json: the last second of 9999",
     .arguments = kFacts,
     .exitCode = 0,
     .text = u",\"checkedAt\":\"9999-12-31T23:59:59Z\",",
     .change = [](auto& os) { os.clock.SetNow(253402300799); }},
    {.what = "--json: a time past 9999 is empty",
     .arguments = kFacts,
     .exitCode = 0,
     .text = u",\"checkedAt\":\"\",",
     .change = [](auto& os) { os.clock.SetNow(253402300800); }},
    {.what = "--json: an ARM64 machine",
     .arguments = kFacts,
     .exitCode = 0,
     .text = u",\"nativeMachine\":\"ARM64\",",
     .change = [](auto& os) { os.queries.nativeMachine = 0xAA64; }},
    {.what = "--json: an unknown machine is empty",
     .arguments = kFacts,
     .exitCode = 0,
     .text = u",\"nativeMachine\":\"\",",
     .change = [](auto& os) { os.queries.nativeMachine = 0; }},
    // The verdict, the findings and the run as one event; the user, the task
    // and the run's times with their offset from UTC appended.
    {.what = "--eventlog writes an OK event with the run's times",
     .arguments = Texts(u"--eventlog"),
     .exitCode = 0,
     .text = u"Verdict: OK",
     .change = [](auto& os) { os.queries.runningPrograms = {u"OUTLOOK.EXE"}; },
     .event = Written{EventType::kInformation, 1000,
                      Texts(u"OK", u"0", u"", u"C:\\Logs\\Scheduler071226020000.log",
                            u"2026-12-07T02:00:00", u"2026-12-07T02:03:41", u"1.0.0.7", u"2",
                            u"BRINMOOR\\avery", u"Larkspan Nightly", u"", u"",
                            u"2026-12-07T02:00:00+00:00", u"2026-12-07T02:03:41+00:00")}},
    {.what = "--eventlog writes a WARN event with an offset east of UTC",
     .arguments = Texts(u"--eventlog"),
     .exitCode = 1,
     .text = u"Verdict: WARN",
     .change =
         [](auto& os) {
           os.tasks.failure = task_result::kNotFound;
           os.clock.SetZoneOffset(330);
         },
     .event =
         Written{
             EventType::kWarning, 1001,
             Texts(u"WARN", u"1",
                   u"task WARN: There is no task \"Larkspan Nightly\": no scheduled run on this "
                   u"machine under that name. Create it as the README shows, or name yours with "
                   u"--task.",
                   u"C:\\Logs\\Scheduler071226020000.log", u"2026-12-07T02:00:00",
                   u"2026-12-07T02:03:41", u"1.0.0.7", u"2", u"BRINMOOR\\avery",
                   u"Larkspan Nightly", u"task", u"", u"2026-12-07T02:00:00+05:30",
                   u"2026-12-07T02:03:41+05:30")}},
    {.what = "--eventlog writes a FAIL event with the findings and an offset west of UTC",
     .arguments = Texts(u"--eventlog"),
     .exitCode = 2,
     .text = u"Verdict: FAIL",
     .change =
         [](auto& os) {
           SetWait(os, 5);
           Mutex(MutexState::kOtherObject)(os);
           os.clock.SetZoneOffset(-300);
         },
     .event =
         Written{
             EventType::kError, 1002,
             Texts(u"FAIL", u"2",
                   u"wait-seconds WARN: A run waits only 5 s for Outlook to start: the add-in may "
                   u"not have started its synchronization when the wait ends. Set "
                   u"WaitSecondsForOutlookStart to 10 or more.\nsync-now FAIL: The name "
                   u"LSSyncMutex belongs to another kind of object: a -s -e run cannot wait for "
                   u"the add-in and logs an error. Restart the session or the computer.",
                   u"C:\\Logs\\Scheduler071226020000.log", u"2026-12-07T02:00:00",
                   u"2026-12-07T02:03:41", u"1.0.0.7", u"2", u"BRINMOOR\\avery",
                   u"Larkspan Nightly", u"wait-seconds,sync-now", u"", u"2026-12-07T02:00:00-05:00",
                   u"2026-12-07T02:03:41-05:00")}},
    // A newest log that is not a log, no LSScheduler.exe beside the tool.
    {.what = "--eventlog: a newest log that is not a log and no scheduler",
     .arguments = Texts(u"--eventlog", u"--only", u"last-run"),
     .exitCode = 1,
     .text = u"Verdict: WARN",
     .change =
         [](auto& os) {
           os.disk.AddFile(u"C:\\Logs\\Scheduler081226020000.log", "x");
           os.files.RemoveFile(u"C:\\Program Files\\Larkspan\\LSScheduler.exe");
         },
     .event =
         Written{
             EventType::kWarning, 1001,
             Texts(u"WARN", u"1",
                   u"last-run WARN: The newest log C:\\Logs\\Scheduler081226020000.log is not in "
                   u"the scheduler's format (it does not begin with a line break): the last run "
                   u"cannot be judged.",
                   u"C:\\Logs\\Scheduler081226020000.log", u"-", u"-", u"not found", u"2",
                   u"BRINMOOR\\avery", u"Larkspan Nightly", u"last-run", u"", u"", u"")}},
    // No last-run check, a scheduler without a version.
    {.what = "--eventlog without the last-run check, a scheduler without a version",
     .arguments = Texts(u"--eventlog", u"--only", u"toolbar"),
     .exitCode = 0,
     .text = u"Verdict: OK",
     .change = [](auto& os) { os.disk.fileVersions.clear(); },
     .event = Written{EventType::kInformation, 1000,
                      Texts(u"OK", u"0", u"", u"-", u"-", u"-", u"not found", u"2",
                            u"BRINMOOR\\avery", u"", u"", u"", u"", u"")}},
    // The first error entry that carries a code gives it, in upper case; the
    // task named with --task.
    {.what = "--eventlog gives the first error code in upper case and the --task name",
     .arguments = Texts(u"--eventlog", u"--only", u"last-run", u"--task", u"Other"),
     .exitCode = 2,
     .text = u"Verdict: FAIL",
     .change =
         [](auto& os) {
           os.disk.AddFile(
               u"C:\\Logs\\Scheduler081226020000.log",
               "\r\n08-12-26 02:00:00: LSScheduler Error: Can't find Outlook.exe"
               "\r\n08-12-26 02:00:01: LSScheduler Error: Code = 8004010f,Meaning = x,"
               "Source = (null),Description = (null)"
               "\r\n08-12-26 02:00:02: LSScheduler Error: Code = 8000ffff, Description = "
               "Out of memory.");
         },
     .event =
         Written{
             EventType::kError, 1002,
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
    {.what = "--eventlog: a run into the new year ends in it",
     .arguments = Texts(u"--eventlog", u"--only", u"last-run"),
     .exitCode = 0,
     .text = u"Verdict: OK",
     .change =
         [](auto& os) {
           os.disk.AddFile(u"C:\\Logs\\Scheduler311226235958.log",
                           "\r\n31-12-26 23:59:58: KSScheduler: MAPIInitialize"
                           "\r\n01-01-27 00:00:03: KSScheduler: MAPI MAPIUninitialize");
           os.clock.SetZoneOffset(60);
           os.clock.SetLocalTime(LocalTime{2027, 1, 2, 12, 0, 0});
         },
     .event = Written{EventType::kInformation, 1000,
                      Texts(u"OK", u"0", u"", u"C:\\Logs\\Scheduler311226235958.log",
                            u"2026-12-31T23:59:58", u"2027-01-01T00:00:03", u"1.0.0.7", u"2",
                            u"BRINMOOR\\avery", u"Larkspan Nightly", u"", u"",
                            u"2026-12-31T23:59:58+01:00", u"2027-01-01T00:00:03+01:00")}},
    // A zone that cannot be read: the times without offset stay.
    {.what = "--eventlog: a zone that cannot be read leaves the offsets out",
     .arguments = Texts(u"--eventlog", u"--only", u"last-run"),
     .exitCode = 0,
     .text = u"Verdict: OK",
     .change =
         [](auto& os) {
           os.queries.failUtcOffset = true;
           os.queries.userName.clear();
         },
     .event = Written{EventType::kInformation, 1000,
                      Texts(u"OK", u"0", u"", u"C:\\Logs\\Scheduler071226020000.log",
                            u"2026-12-07T02:00:00", u"2026-12-07T02:03:41", u"1.0.0.7", u"2", u"",
                            u"Larkspan Nightly", u"", u"", u"", u"")}},
    {.what = "an event that cannot be written is a WARN finding",
     .arguments = Texts(u"--eventlog"),
     .exitCode = 1,
     .text =
         u"eventlog         WARN   The verdict could not be written to the Application log: Access "
         u"is denied.\n\nVerdict: WARN (exit code 1)",
     .change = [](auto& os) { os.eventLog.result = 5; }},
};

INSTANTIATE_TEST_SUITE_P(, Options, testing::ValuesIn(kOptions), RowName);

// A text as the JSON report writes it.
struct JsonStringCase {
  const char* what;
  std::u16string text;
  std::u16string json;
};

const JsonStringCase kJsonStrings[] = {
    {.what = "an empty text", .text = u"", .json = u"\"\""},
    {.what = "line breaks, tab, backspace and form feed as short escapes",
     .text = u"a\nb\r\t\b\f",
     .json = u"\"a\\nb\\r\\t\\b\\f\""},
    {.what = "other control characters and DEL as unicode escapes",
     .text = std::u16string(u"\0\x01\x1f\x7f", 4),
     .json = u"\"\\u0000\\u0001\\u001f\\u007f\""},
    {.what = "letters beyond ASCII and the slash as they are",
     .text = u"Caf\u00E9 \u65E5 /",
     .json = u"\"Caf\u00E9 \u65E5 /\""},
};

class JsonStrings : public testing::TestWithParam<JsonStringCase> {};

TEST_P(JsonStrings, AreEscaped) { EXPECT_EQ(JsonString(GetParam().text), GetParam().json); }

INSTANTIATE_TEST_SUITE_P(, JsonStrings, testing::ValuesIn(kJsonStrings), RowName);

}  // namespace
}  // namespace lss::test
