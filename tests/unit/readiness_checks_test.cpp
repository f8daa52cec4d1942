#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "check/check_output.h"
#include "check/check_tool.h"
#include "check/task_check.h"
#include "fake/fake_check_platform.h"
#include "settings/registry_text.h"

namespace lss {
namespace {

constexpr auto CaseIndex = [](const auto& info) { return std::to_string(info.index); };

constexpr std::u16string_view kAppPaths =
    u"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\OUTLOOK.EXE";
constexpr std::u16string_view kMail = u"Software\\Clients\\Mail";
constexpr std::u16string_view kOutlookClient = u"Software\\Clients\\Mail\\Microsoft Outlook";
constexpr std::u16string_view kSettings = u"HKCU\\Software\\Brinmoor\\Larkspan\\Settings";
constexpr char kCompleteRun[] =
    "\r\n07-12-26 02:00:00: Block Larkspan Toolbar Load"
    "\r\n07-12-26 02:00:15: KSScheduler: MAPIInitialize"
    "\r\n07-12-26 02:03:41: KSScheduler: MAPI MAPIUninitialize"
    "\r\n07-12-26 02:03:41: De-Block Larkspan Toolbar Load";

constexpr std::uint32_t k64Bit = reg::kWow64_64Key;
constexpr std::uint32_t k32Bit = reg::kWow64_32Key;

constexpr std::u16string_view kInstallerKey = u"Software\\Brinmoor\\LSScheduler";
const TaskExecAction kRunAction{u"%ProgramFiles%\\Larkspan\\LSScheduler.exe",
                                u"-s -e -p Work -n Nightly"};
const TaskExecAction kCheckAction{u"%ProgramFiles%\\Larkspan\\LSSchedulerCheck.exe",
                                  u"--only last-run,toolbar --eventlog"};

// The README's task, as the Task Scheduler reports it after its last run.
TaskInfo GoodTask() {
  TaskInfo task;
  task.userId = u"CONTOSO\\ana";
  task.logonType = TaskLogonType::kInteractiveToken;
  task.execActions = {kRunAction, kCheckAction};
  task.lastRun = LocalTime{2026, 12, 7, 2, 0, 0};
  task.lastResult = 0;
  task.nextRun = LocalTime{2026, 12, 8, 2, 0, 0};
  return task;
}

// A program file's first `size` bytes: "MZ", e_lfanew at 0x3C, and at that
// offset "PE\0\0" and the machine type (little-endian), as far as they fit.
std::string ProgramFile(std::uint16_t machine, std::uint32_t offset = 0x80,
                        std::size_t size = 0x200) {
  std::string bytes(std::max<std::size_t>(size, 0x40), '\0');
  bytes[0] = 'M';
  bytes[1] = 'Z';
  for (int i = 0; i < 4; ++i) bytes[0x3C + i] = static_cast<char>(offset >> (8 * i));
  const std::string header = std::string("PE\0\0", 4) + static_cast<char>(machine & 0xFF) +
                             static_cast<char>(machine >> 8);
  for (std::size_t i = 0; i < header.size() && offset + i < bytes.size(); ++i) {
    bytes[offset + i] = header[i];
  }
  return bytes.substr(0, size);
}

// A machine on which every check passes.
void SetUpGoodMachine(test::FakeCheckPlatform& os) {
  os.registry.SetString(kAppPaths, u"Path", u"C:\\Office\\");
  os.disk.AddFolder(u"C:\\Office");
  os.disk.AddFile(u"C:\\Office\\OUTLOOK.EXE", ProgramFile(0x8664));
  os.disk.AddFile(u"C:\\Office\\olmapi32.dll", ProgramFile(0x8664));
  os.disk.AddFolder(u"C:\\Windows\\System32");
  os.disk.AddFile(u"C:\\Windows\\System32\\mapi32.dll");
  os.registry.SetString(test::MachinePath(k64Bit, kMail), u"", u"Microsoft Outlook");
  os.registry.SetString(test::MachinePath(k64Bit, kOutlookClient), u"DLLPathEx", u"C:\\Office\\olmapi32.dll");
  os.registry.SetString(kSettings, u"LogDirectory", u"C:\\Logs");
  os.registry.SetDword(kSettings, u"WaitSecondsForOutlookStart", 15);
  os.disk.AddFolder(u"C:\\Logs");
  os.disk.AddFile(u"C:\\Logs\\Scheduler071226020000.log", kCompleteRun);
  os.queries.environment[u"PROGRAMFILES"] = u"C:\\Program Files";
  os.disk.AddFolder(u"C:\\Program Files\\Larkspan");
  os.disk.AddFile(u"C:\\Program Files\\Larkspan\\LSScheduler.exe");
  os.disk.fileVersions[u"c:\\program files\\larkspan\\lsscheduler.exe"] = u"1.0.0.7";
  os.disk.AddFile(u"C:\\Program Files\\Larkspan\\LSSchedulerCheck.exe");
  os.tasks.Add(u"Larkspan Nightly", GoodTask());
  os.messages.Set(1, u"Incorrect function.\r\n");
  os.messages.Set(2, u"The system cannot find the file specified.\r\n");
  os.messages.Set(5, u"Access is denied.\r\n");
  os.clock.SetLocalTime(LocalTime{2026, 12, 8, 12, 0, 0});
}

struct SituationCase {
  const char* what;
  std::function<void(test::FakeCheckPlatform&)> change;
  std::u16string id;  // the check this row is about
  CheckStatus status;
  std::u16string message;  // a part of its message
  CheckStatus verdict;
  bool probeLeft = false;  // the probe file cannot be deleted
  std::u16string taskRead = u"Larkspan Nightly";  // the one task the checks read
  std::u16string taskOption = {};                 // --task
};

class Situations : public testing::TestWithParam<SituationCase> {};

TEST_P(Situations, GiveTheirStatusAndMessage) {
  const SituationCase& c = GetParam();
  test::FakeCheckPlatform os;
  SetUpGoodMachine(os);
  c.change(os);
  os.journal.Clear();

  CheckOptions options;
  options.taskName = c.taskOption;
  const std::vector<CheckResult> results = RunChecks(os.bundle, options);

  const CheckResult* found = nullptr;
  for (const CheckResult& result : results) {
    if (result.id == c.id) found = &result;
  }
  ASSERT_NE(found, nullptr) << c.what;
  EXPECT_EQ(found->status, c.status) << c.what;
  EXPECT_NE(found->message.find(c.message), std::u16string::npos)
      << c.what << ": " << std::string(found->message.begin(), found->message.end());
  EXPECT_EQ(Verdict(results), c.verdict) << c.what;
  // Nothing is written or created: no key, no value, no file left, no event.
  EXPECT_TRUE(os.journal.Matching("RegCreateKey").empty()) << c.what;
  EXPECT_TRUE(os.journal.Matching("RegSetValue").empty()) << c.what;
  EXPECT_EQ(os.disk.Contents(u"C:\\Logs\\LSSchedulerCheck.probe").has_value(), c.probeLeft)
      << c.what;
  EXPECT_FALSE(os.queries.IsFolder(u"C:\\LSSchedulerCheck.probe")) << c.what;
  EXPECT_EQ(os.registry.openHandles(), 0u) << c.what;
  EXPECT_TRUE(os.eventLog.events.empty()) << c.what;
  EXPECT_EQ(os.tasks.reads, std::vector<std::u16string>{c.taskRead}) << c.what;
}

template <typename Change>
void ChangeTask(test::FakeCheckPlatform& os, Change change) {
  TaskInfo task = GoodTask();
  change(task);
  os.tasks.Add(u"Larkspan Nightly", task);
}

void SetWait(test::FakeCheckPlatform& os, std::uint32_t seconds) {
  os.registry.SetDword(kSettings, u"WaitSecondsForOutlookStart", seconds);
}

const CheckStatus kOk = CheckStatus::kOk;
const CheckStatus kInfo = CheckStatus::kInfo;
const CheckStatus kWarn = CheckStatus::kWarn;
const CheckStatus kFail = CheckStatus::kFail;

INSTANTIATE_TEST_SUITE_P(
    Table, Situations,
    testing::Values(
        SituationCase{"all well", [](auto&) {}, u"outlook", kOk,
                      u"Outlook is at C:\\Office\\OUTLOOK.EXE (x64).", kOk},
        SituationCase{"32-bit OUTLOOK.EXE",
                      [](auto& os) {
                        os.disk.AddFile(u"C:\\Office\\OUTLOOK.EXE", ProgramFile(0x14C));
                      },
                      u"outlook", kFail,
                      u"32-bit Outlook: LSScheduler.exe is a 64-bit program and cannot use a "
                      u"32-bit Outlook's MAPI; install 64-bit Office (C:\\Office\\OUTLOOK.EXE "
                      u"is x86).",
                      kFail},
        SituationCase{"ARM64 OUTLOOK.EXE",
                      [](auto& os) {
                        os.disk.AddFile(u"C:\\Office\\OUTLOOK.EXE", ProgramFile(0xAA64));
                      },
                      u"outlook", kWarn,
                      u"C:\\Office\\OUTLOOK.EXE is not an x64 program file (found: ARM64): "
                      u"LSScheduler.exe, a 64-bit program, may not be able to use it. Repair or "
                      u"reinstall 64-bit Office.",
                      kWarn},
        SituationCase{"OUTLOOK.EXE of another machine type",
                      [](auto& os) {
                        os.disk.AddFile(u"C:\\Office\\OUTLOOK.EXE", ProgramFile(0x1C4));
                      },
                      u"outlook", kWarn, u"(found: machine type 0x1C4)", kWarn},
        SituationCase{"OUTLOOK.EXE cut short in its DOS header",
                      [](auto& os) {
                        os.disk.AddFile(u"C:\\Office\\OUTLOOK.EXE",
                                           ProgramFile(0x8664, 0x80, 0x3E));
                      },
                      u"outlook", kWarn,
                      u"(found: not a complete program file (it ends after 62 bytes, inside its "
                      u"DOS header))",
                      kWarn},
        SituationCase{"OUTLOOK.EXE with MZ but no PE signature",
                      [](auto& os) {
                        std::string bytes = ProgramFile(0x8664);
                        bytes[0x81] = 'X';
                        os.disk.AddFile(u"C:\\Office\\OUTLOOK.EXE", bytes);
                      },
                      u"outlook", kWarn,
                      u"(found: not a program file (no PE signature at offset 0x80))", kWarn},
        SituationCase{"OUTLOOK.EXE without MZ",
                      [](auto& os) { os.disk.AddFile(u"C:\\Office\\OUTLOOK.EXE", "#!"); },
                      u"outlook", kWarn,
                      u"(found: not a program file (it does not start with MZ))", kWarn},
        SituationCase{"a PE offset past the end of OUTLOOK.EXE",
                      [](auto& os) {
                        os.disk.AddFile(u"C:\\Office\\OUTLOOK.EXE",
                                           ProgramFile(0x8664, 0x7FFFFFFF, 0x300));
                      },
                      u"outlook", kWarn,
                      u"(found: not a complete program file (its PE header offset 0x7FFFFFFF "
                      u"points past the 512 bytes read))",
                      kWarn},
        SituationCase{"a PE header ending just past the end of OUTLOOK.EXE",
                      [](auto& os) {
                        os.disk.AddFile(u"C:\\Office\\OUTLOOK.EXE",
                                           ProgramFile(0x8664, 0x1FB, 0x200));
                      },
                      u"outlook", kWarn, u"offset 0x1FB points past the 512 bytes read", kWarn},
        SituationCase{"a PE header beyond the first 512 bytes",
                      [](auto& os) {
                        os.disk.AddFile(u"C:\\Office\\OUTLOOK.EXE",
                                           ProgramFile(0x8664, 0xFFA, 0x1200));
                      },
                      u"outlook", kOk, u"Outlook is at C:\\Office\\OUTLOOK.EXE (x64).", kOk},
        SituationCase{"a PE header beyond the first 4 KiB",
                      [](auto& os) {
                        os.disk.AddFile(u"C:\\Office\\OUTLOOK.EXE",
                                           ProgramFile(0x8664, 0xFFB, 0x1200));
                      },
                      u"outlook", kWarn, u"offset 0xFFB points past the 512 bytes read", kWarn},
        SituationCase{"a 32-bit MAPI library",
                      [](auto& os) {
                        os.disk.AddFile(u"C:\\Office\\olmapi32.dll", ProgramFile(0x14C));
                      },
                      u"mapi", kFail,
                      u"32-bit Outlook: LSScheduler.exe is a 64-bit program and cannot use a "
                      u"32-bit Outlook's MAPI; install 64-bit Office (C:\\Office\\olmapi32.dll "
                      u"is x86).",
                      kFail},
        SituationCase{"a MAPI library that is not a program file",
                      [](auto& os) { os.disk.AddFile(u"C:\\Office\\olmapi32.dll", ""); },
                      u"mapi", kWarn,
                      u"C:\\Office\\olmapi32.dll is not an x64 program file (found: not a "
                      u"program file (it does not start with MZ))",
                      kWarn},
        SituationCase{"an x64 MAPI library", [](auto&) {}, u"mapi", kOk,
                      u"MAPI can reach the mail client Microsoft Outlook "
                      u"(C:\\Office\\olmapi32.dll, x64).",
                      kOk},
        SituationCase{"no App Paths key", [](auto& os) { os.registry.DeleteKey(kAppPaths); },
                      u"outlook", kFail,
                      u"OUTLOOK.EXE is missing: a run logs \"Can't find Outlook.exe\"", kFail},
        SituationCase{"an App Paths key that cannot be opened",
                      [](auto& os) { os.registry.FailKey(kAppPaths); }, u"outlook", kFail,
                      u"OUTLOOK.EXE cannot be opened (Access is denied)", kFail},
        SituationCase{"no Path value",
                      [](auto& os) { os.registry.DeleteValue(kAppPaths, u"Path"); }, u"outlook",
                      kFail, u"has no value Path", kFail},
        SituationCase{"Path of another type",
                      [](auto& os) {
                        os.registry.Set(kAppPaths, u"Path", reg::kExpandSz,
                                        EncodeRegistryText(u"C:\\Office\\"));
                      },
                      u"outlook", kFail, u"Path of OUTLOOK.EXE is REG_EXPAND_SZ, not REG_SZ",
                      kFail},
        SituationCase{"Path without its backslash",
                      [](auto& os) { os.registry.SetString(kAppPaths, u"Path", u"C:\\Office"); },
                      u"outlook", kFail, u"a run would start C:\\OfficeOUTLOOK.EXE", kFail},
        SituationCase{"Path too long to read",
                      [](auto& os) {
                        os.registry.SetString(kAppPaths, u"Path",
                                              std::u16string(1100, u'x') + u"\\");
                      },
                      u"outlook", kFail, u"cannot be read (error 234)", kFail},
        SituationCase{"OUTLOOK.EXE missing",
                      [](auto& os) { os.registry.SetString(kAppPaths, u"Path", u"C:\\Gone\\"); },
                      u"outlook", kFail,
                      u"C:\\Gone\\OUTLOOK.EXE, named by Outlook's App Paths entry, does not exist",
                      kFail},
        SituationCase{"no system MAPI",
                      [](auto& os) { os.queries.systemDirectory = u"C:\\Windows\\Elsewhere"; },
                      u"mapi", kFail, u"C:\\Windows\\Elsewhere\\mapi32.dll is missing", kFail},
        SituationCase{"no default mail client",
                      [](auto& os) { os.registry.DeleteValue(test::MachinePath(k64Bit, kMail), u""); }, u"mapi", kFail,
                      u"No default mail client is registered", kFail},
        SituationCase{"32-bit Outlook",
                      [](auto& os) {
                        os.registry.DeleteValue(test::MachinePath(k64Bit, kMail), u"");
                        os.registry.SetString(test::MachinePath(k32Bit, kMail), u"", u"Microsoft Outlook");
                      },
                      u"mapi", kFail, u"this 64-bit program needs 64-bit Outlook", kFail},
        SituationCase{"DLLPathEx only in the 32-bit view",
                      [](auto& os) {
                        os.registry.DeleteValue(test::MachinePath(k64Bit, kOutlookClient), u"DLLPathEx");
                        os.registry.SetString(test::MachinePath(k32Bit, kOutlookClient), u"DLLPathEx",
                                                  u"C:\\Office\\olmapi32.dll");
                      },
                      u"mapi", kFail,
                      u"Microsoft Outlook is registered only for 32-bit programs", kFail},
        SituationCase{"no DLLPathEx",
                      [](auto& os) {
                        os.registry.SetString(test::MachinePath(k64Bit, kMail), u"", u"Other Mail");
                        os.registry.SetString(test::MachinePath(k64Bit, u"Software\\Clients\\Mail\\Other Mail"),
                                                  u"DLLPath", u"x");
                      },
                      u"mapi", kWarn, u"The mail client Other Mail has no DLLPathEx", kWarn},
        SituationCase{"DLLPathEx names no file",
                      [](auto& os) {
                        os.registry.SetString(test::MachinePath(k64Bit, kOutlookClient), u"DLLPathEx",
                                                  u"C:\\Gone\\x.dll");
                      },
                      u"mapi", kFail,
                      u"names C:\\Gone\\x.dll as its MAPI library, which does not exist", kFail},
        SituationCase{"no LogDirectory",
                      [](auto& os) { os.registry.DeleteValue(kSettings, u"LogDirectory"); },
                      u"log-folder", kWarn, u"LogDirectory is not set: runs leave no record",
                      kWarn},
        SituationCase{"LogDirectory of another type",
                      [](auto& os) {
                        os.registry.Set(kSettings, u"LogDirectory", reg::kMultiSz,
                                        EncodeRegistryText(u"C:\\Logs"));
                      },
                      u"log-folder", kFail,
                      u"LogDirectory is REG_MULTI_SZ, not REG_SZ or REG_EXPAND_SZ", kFail},
        SituationCase{"REG_EXPAND_SZ LogDirectory is expanded",
                      [](auto& os) {
                        os.queries.environment[u"LOGS"] = u"C:\\Logs";
                        os.registry.Set(kSettings, u"LogDirectory", reg::kExpandSz,
                                        EncodeRegistryText(u"%Logs%"));
                      },
                      u"log-folder", kOk, u"Runs log to C:\\Logs.", kOk},
        SituationCase{"last-run reads the expanded folder",
                      [](auto& os) {
                        os.queries.environment[u"LOGS"] = u"C:\\Logs";
                        os.registry.Set(kSettings, u"LogDirectory", reg::kExpandSz,
                                        EncodeRegistryText(u"%Logs%\\"));
                      },
                      u"last-run", kOk, u"The run of 07-12-26 02:00:00 ended", kOk},
        SituationCase{"REG_SZ LogDirectory keeps its %",
                      [](auto& os) {
                        os.queries.environment[u"LOGS"] = u"C:\\Logs";
                        os.registry.SetString(kSettings, u"LogDirectory", u"%Logs%");
                      },
                      u"log-folder", kFail,
                      u"The log folder %Logs% does not exist, and runs cannot create it: no folder "
                      u"above it exists",
                      kFail},
        SituationCase{"a missing folder a run creates",
                      [](auto& os) {
                        os.disk.AddFolder(u"C:\\");
                        os.registry.SetString(kSettings, u"LogDirectory", u"C:\\Users\\ana\\Logs");
                      },
                      u"log-folder", kInfo,
                      u"The log folder C:\\Users\\ana\\Logs does not exist yet; the next run "
                      u"creates it.",
                      kFail},
        SituationCase{"a missing folder below a file",
                      [](auto& os) {
                        os.disk.AddFolder(u"C:\\");
                        os.disk.AddFile(u"C:\\Users");
                        os.registry.SetString(kSettings, u"LogDirectory", u"C:\\Users\\ana\\Logs");
                      },
                      u"log-folder", kFail,
                      u"The log folder C:\\Users\\ana\\Logs does not exist, and runs cannot create "
                      u"it: C:\\Users is a file.",
                      kFail},
        SituationCase{"a missing folder where none may be created",
                      [](auto& os) {
                        os.disk.AddFolder(u"C:\\");
                        os.queries.DenyProbeCreate(true);
                        os.registry.SetString(kSettings, u"LogDirectory", u"C:\\New\\Logs");
                      },
                      u"log-folder", kFail,
                      u"no folder can be created in C:\\ (Access is denied)", kFail},
        SituationCase{"a missing folder with a name Windows refuses",
                      [](auto& os) {
                        os.disk.AddFolder(u"C:\\");
                        os.registry.SetString(kSettings, u"LogDirectory", u"C:\\Logs \"x\"");
                      },
                      u"log-folder", kFail,
                      u"its name holds a character that Windows does not allow in names", kFail},
        SituationCase{"a missing folder on a missing drive",
                      [](auto& os) { os.registry.SetString(kSettings, u"LogDirectory", u"Q:\\Logs"); },
                      u"log-folder", kFail, u"no folder above it exists (no such drive or share)",
                      kFail},
        SituationCase{"LogDirectory is a file",
                      [](auto& os) {
                        os.disk.AddFile(u"C:\\Logfile");
                        os.registry.SetString(kSettings, u"LogDirectory", u"C:\\Logfile");
                      },
                      u"log-folder", kFail, u"LogDirectory C:\\Logfile is a file, not a folder",
                      kFail},
        SituationCase{"a folder too long for a log file",
                      [](auto& os) {
                        os.queries.environment[u"DEEP"] = std::u16string(240, u'd');
                        os.disk.AddFolder(u"C:\\" + std::u16string(240, u'd'));
                        os.registry.Set(kSettings, u"LogDirectory", reg::kExpandSz,
                                        EncodeRegistryText(u"C:\\%DEEP%"));
                      },
                      u"log-folder", kFail,
                      u"is too long: a log file in it would have a path of 269 characters", kFail},
        SituationCase{"log folder not writable", [](auto& os) { os.queries.DenyProbeCreate(true); },
                      u"log-folder", kFail,
                      u"No file can be created in C:\\Logs: Access is denied.", kFail},
        SituationCase{"a probe file that cannot be deleted",
                      [](auto& os) { os.queries.DenyProbeDelete(true); }, u"log-folder", kFail,
                      u"The test file C:\\Logs\\LSSchedulerCheck.probe cannot be deleted: Access "
                      u"is denied.",
                      kFail, true},
        SituationCase{"a short wait", [](auto& os) { SetWait(os, 5); }, u"wait-seconds", kWarn,
                      u"waits only 5 s", kWarn},
        SituationCase{"a wait of 10 s", [](auto& os) { SetWait(os, 10); }, u"wait-seconds", kOk,
                      u"waits 10 s", kOk},
        SituationCase{"a wait of 0", [](auto& os) { SetWait(os, 0); }, u"wait-seconds", kOk,
                      u"waits 15 s", kOk},
        SituationCase{"a negative wait", [](auto& os) { SetWait(os, 0xFFFFFFFD); }, u"wait-seconds",
                      kOk, u"so the default is used", kOk},
        SituationCase{"a wait stored as long text",
                      [](auto& os) {
                        os.registry.SetString(kSettings, u"WaitSecondsForOutlookStart", u"30");
                      },
                      u"wait-seconds", kOk, u"waits 15 s", kOk},
        SituationCase{"a pending toolbar block",
                      [](auto& os) { os.registry.SetDword(kSettings, u"BlockToolbarLoadOrg", 0); },
                      u"toolbar", kWarn,
                      u"pending (BlockToolbarLoadOrg = 0): an earlier run was interrupted", kWarn},
        SituationCase{"a toolbar block of the run going on now",
                      [](auto& os) {
                        os.registry.SetDword(kSettings, u"BlockToolbarLoadOrg", 0);
                        os.queries.runningPrograms = {u"LSScheduler.exe"};
                      },
                      u"toolbar", kOk, u"blocked for the run going on now", kOk},
        SituationCase{
            "no toolbar block",
            [](auto& os) { os.registry.SetDword(kSettings, u"BlockToolbarLoadOrg", 0xFFFFFFFF); },
            u"toolbar", kOk, u"No toolbar block is pending.", kOk},
        SituationCase{"Outlook running",
                      [](auto& os) { os.queries.runningPrograms = {u"outlook.exe"}; },
                      u"outlook-running", kInfo, u"Outlook is running now", kOk},
        SituationCase{"Outlook not running", [](auto&) {}, u"outlook-running", kInfo,
                      u"Outlook is not running.", kOk},
        SituationCase{"no mutex", [](auto&) {}, u"sync-now", kInfo, u"(LSSyncMutex does not exist)",
                      kOk},
        SituationCase{"the add-in syncing",
                      [](auto& os) { os.queries.mutex = {MutexState::kHeld, 0}; }, u"sync-now",
                      kInfo, u"synchronizing now (it holds LSSyncMutex)", kOk},
        SituationCase{"a free mutex", [](auto& os) { os.queries.mutex = {MutexState::kFree, 0}; },
                      u"sync-now", kInfo, u"The add-in is not synchronizing now.", kOk},
        SituationCase{"an abandoned mutex",
                      [](auto& os) { os.queries.mutex = {MutexState::kAbandoned, 0}; },
                      u"sync-now", kInfo, u"ended without releasing LSSyncMutex", kOk},
        SituationCase{"the name taken by an event",
                      [](auto& os) { os.queries.mutex = {MutexState::kOtherObject, 0}; },
                      u"sync-now", kFail, u"belongs to another kind of object", kFail},
        SituationCase{"a mutex that cannot be looked at",
                      [](auto& os) { os.queries.mutex = {MutexState::kUnknown, 5}; }, u"sync-now",
                      kWarn, u"The state of LSSyncMutex cannot be read: Access is denied.", kWarn},
        SituationCase{"the README's task after a good run", [](auto&) {}, u"task", kOk,
                      u"The task \"Larkspan Nightly\" starts C:\\Program "
                      u"Files\\Larkspan\\LSScheduler.exe -s -e -p Work -n Nightly; its last run "
                      u"(07-12-26 02:00:00) ended well.",
                      kOk},
        SituationCase{"no such task", [](auto& os) { os.tasks.failure = task_result::kNotFound; },
                      u"task", kWarn, u"no scheduled run on this machine under that name", kWarn},
        SituationCase{"a Task Scheduler that cannot be asked",
                      [](auto& os) { os.tasks.failure = 5; }, u"task", kWarn,
                      u"cannot be read from the Task Scheduler: Access is denied.", kWarn},
        SituationCase{"a disabled task", [](auto& os) { ChangeTask(os, [](TaskInfo& changed) { changed.enabled = false; }); },
                      u"task", kFail, u"is disabled", kFail},
        SituationCase{"a task run as SYSTEM",
                      [](auto& os) { ChangeTask(os, [](TaskInfo& changed) { changed.userId = u"SYSTEM"; }); },
                      u"task", kFail, u"runs as SYSTEM: that account has no desktop session", kFail},
        SituationCase{"a task run as LocalService",
                      [](auto& os) {
                        ChangeTask(os, [](TaskInfo& changed) { changed.userId = u"nt authority\\local service"; });
                      },
                      u"task", kFail, u"runs as nt authority\\local service", kFail},
        SituationCase{"a task run as NetworkService's SID",
                      [](auto& os) { ChangeTask(os, [](TaskInfo& changed) { changed.userId = u"S-1-5-20"; }); },
                      u"task", kFail, u"runs as S-1-5-20", kFail},
        SituationCase{"a task run by the group of LocalSystem",
                      [](auto& os) {
                        ChangeTask(os, [](TaskInfo& changed) {
                          changed.userId.clear();
                          changed.groupId = u"S-1-5-18";
                        });
                      },
                      u"task", kFail, u"runs as S-1-5-18", kFail},
        SituationCase{"a task run whether the user is logged on or not",
                      [](auto& os) {
                        ChangeTask(os, [](TaskInfo& changed) { changed.logonType = TaskLogonType::kPassword; });
                      },
                      u"task", kFail, u"logged on or not (logon type Password)", kFail},
        SituationCase{"a task run with S4U",
                      [](auto& os) {
                        ChangeTask(os, [](TaskInfo& changed) { changed.logonType = TaskLogonType::kS4U; });
                      },
                      u"task", kFail, u"(logon type S4U)", kFail},
        SituationCase{"an action in another folder",
                      [](auto& os) {
                        os.disk.AddFile(u"D:\\Old\\LSScheduler.exe");
                        ChangeTask(os, [](TaskInfo& changed) {
                          changed.execActions.front().path = u"D:\\Old\\LSScheduler.exe";
                        });
                      },
                      u"task", kFail,
                      u"does not start C:\\Program Files\\Larkspan\\LSScheduler.exe (its action "
                      u"starts D:\\Old\\LSScheduler.exe)",
                      kFail},
        SituationCase{"a quoted action after another action",
                      [](auto& os) {
                        ChangeTask(os, [](TaskInfo& changed) {
                          changed.execActions.front().path =
                              u" \"C:\\Program Files\\Larkspan\\lsscheduler.EXE\"";
                          changed.execActions.insert(changed.execActions.begin(), {u"cmd.exe", u"/c echo"});
                        });
                      },
                      u"task", kOk, u"ended well", kOk},
        SituationCase{"an action whose file is gone",
                      [](auto& os) {
                        os.queries.RemoveFile(u"C:\\Program Files\\Larkspan\\LSScheduler.exe");
                      },
                      u"task", kFail, u"LSScheduler.exe, which does not exist", kFail},
        SituationCase{"an action without -s",
                      [](auto& os) {
                        ChangeTask(os, [](TaskInfo& changed) { changed.execActions.front().arguments = u"-e -p s"; });
                      },
                      u"task", kFail, u"without -s: a run only hands its values", kFail},
        SituationCase{"an action without -e",
                      [](auto& os) {
                        ChangeTask(os, [](TaskInfo& changed) { changed.execActions.front().arguments = u"-s -p e"; });
                      },
                      u"task", kWarn, u"without -e: Outlook stays open after each run", kWarn},
        SituationCase{"flags spelled /S and /exit",
                      [](auto& os) {
                        ChangeTask(os, [](TaskInfo& changed) { changed.execActions.front().arguments = u"/S /exit"; });
                      },
                      u"task", kOk, u"ended well", kOk},
        SituationCase{"a last run ended by the time limit",
                      [](auto& os) {
                        ChangeTask(os, [](TaskInfo& changed) { changed.lastResult = task_result::kTerminated; });
                      },
                      u"task", kFail,
                      u"last run (07-12-26 02:00:00) was ended by its time limit (0x00041306)",
                      kFail},
        SituationCase{"a last run that failed, without the check action",
                      [](auto& os) {
                        ChangeTask(os, [](TaskInfo& changed) {
                          changed.execActions = {kRunAction};
                          changed.lastResult = 1;
                        });
                      },
                      u"task", kFail, u"ended with 0x00000001: Incorrect function.", kFail},
        SituationCase{"last result 2 without the check action",
                      [](auto& os) {
                        ChangeTask(os, [](TaskInfo& changed) {
                          changed.execActions = {kRunAction};
                          changed.lastResult = 2;
                        });
                      },
                      u"task", kFail,
                      u"ended with 0x00000002: The system cannot find the file specified.", kFail},
        SituationCase{"last result 1 after the check action",
                      [](auto& os) { ChangeTask(os, [](TaskInfo& changed) { changed.lastResult = 1; }); },
                      u"task", kWarn,
                      u"The task's last run (07-12-26 02:00:00) ended with 0x00000001: the check "
                      u"after the last run found a warning: its event 1001",
                      kWarn},
        SituationCase{"last result 2 after the check action",
                      [](auto& os) { ChangeTask(os, [](TaskInfo& changed) { changed.lastResult = 2; }); },
                      u"task", kFail,
                      u"ended with 0x00000002: the check after the last run found that the run "
                      u"failed. Its event 1002",
                      kFail},
        SituationCase{"last result 2 after the check action, without -e",
                      [](auto& os) {
                        ChangeTask(os, [](TaskInfo& changed) {
                          changed.execActions.front().arguments = u"-s -n Nightly";
                          changed.lastResult = 2;
                        });
                      },
                      u"task", kFail, u"found that the run failed", kFail},
        SituationCase{"last result 1 with the check action first",
                      [](auto& os) {
                        ChangeTask(os, [](TaskInfo& changed) {
                          changed.execActions = {kCheckAction, kRunAction};
                          changed.lastResult = 1;
                        });
                      },
                      u"task", kFail, u"ended with 0x00000001: Incorrect function.", kFail},
        SituationCase{"the check action missing",
                      [](auto& os) {
                        ChangeTask(os, [](TaskInfo& changed) { changed.execActions = {kRunAction}; });
                      },
                      u"task", kInfo,
                      u"ended well. Note: the task writes no verdict after its run; add the second "
                      u"action of the template (C:\\Program Files\\Larkspan\\LSSchedulerCheck.exe "
                      u"--only last-run,toolbar --eventlog).",
                      kOk},
        SituationCase{"the check action before the run's",
                      [](auto& os) {
                        ChangeTask(os, [](TaskInfo& changed) {
                          changed.execActions = {kCheckAction, kRunAction};
                        });
                      },
                      u"task", kInfo, u"ended well. Note: the task writes no verdict after its run",
                      kOk},
        SituationCase{"a check action of another folder",
                      [](auto& os) {
                        ChangeTask(os, [](TaskInfo& changed) {
                          changed.execActions.back().path = u"D:\\Old\\LSSchedulerCheck.exe";
                        });
                      },
                      u"task", kInfo, u"the task writes no verdict after its run", kOk},
        SituationCase{"the check action missing and the task never run",
                      [](auto& os) {
                        ChangeTask(os, [](TaskInfo& changed) {
                          changed.execActions = {kRunAction};
                          changed.lastRun.reset();
                          changed.lastResult = task_result::kHasNotRun;
                        });
                      },
                      u"task", kInfo,
                      u"it has not run yet. Note: the task writes no verdict after its run", kOk},
        SituationCase{"a last result of access denied",
                      [](auto& os) {
                        os.messages.Set(0x80070005, u"Access is denied.\r\n");
                        ChangeTask(os, [](TaskInfo& changed) { changed.lastResult = static_cast<HResult>(0x80070005); });
                      },
                      u"task", kFail, u"ended with 0x80070005: Access is denied.", kFail},
        SituationCase{"a task ready for its next run",
                      [](auto& os) {
                        ChangeTask(os, [](TaskInfo& changed) { changed.lastResult = task_result::kReady; });
                      },
                      u"task", kInfo,
                      u"-n Nightly; it is ready for its next run (0x00041300); the Task Scheduler "
                      u"does not say how its last run ended.",
                      kOk},
        SituationCase{"a task running now",
                      [](auto& os) {
                        ChangeTask(os, [](TaskInfo& changed) { changed.lastResult = task_result::kRunning; });
                      },
                      u"task", kOk, u"-n Nightly; it is running now.", kOk},
        SituationCase{"the task name the package recorded",
                      [](auto& os) {
                        os.registry.SetString(test::MachinePath(k64Bit, kInstallerKey), u"TaskName",
                                                  u"Brinmoor Sync Test");
                        os.tasks.Add(u"Brinmoor Sync Test", GoodTask());
                      },
                      u"task", kOk, u"The task \"Brinmoor Sync Test\" starts", kOk, false,
                      u"Brinmoor Sync Test"},
        SituationCase{"--task over the name the package recorded",
                      [](auto& os) {
                        os.registry.SetString(test::MachinePath(k64Bit, kInstallerKey), u"TaskName",
                                                  u"Brinmoor Sync Test");
                      },
                      u"task", kOk, u"The task \"Larkspan Nightly\" starts", kOk, false,
                      u"Larkspan Nightly", u"Larkspan Nightly"},
        SituationCase{"an empty recorded task name",
                      [](auto& os) {
                        os.registry.SetString(test::MachinePath(k64Bit, kInstallerKey), u"TaskName", u"");
                      },
                      u"task", kOk, u"The task \"Larkspan Nightly\" starts", kOk},
        SituationCase{"a task name recorded only for 32-bit programs",
                      [](auto& os) {
                        os.registry.SetString(test::MachinePath(k32Bit, kInstallerKey), u"TaskName",
                                                  u"Brinmoor Sync Test");
                      },
                      u"task", kOk, u"The task \"Larkspan Nightly\" starts", kOk},
        SituationCase{"a task that has not run yet",
                      [](auto& os) {
                        ChangeTask(os, [](TaskInfo& changed) {
                          changed.lastRun.reset();
                          changed.lastResult = task_result::kHasNotRun;
                        });
                      },
                      u"task", kInfo, u"-n Nightly; it has not run yet.", kOk},
        SituationCase{"a task that ran after the newest log",
                      [](auto& os) {
                        ChangeTask(os, [](TaskInfo& changed) { changed.lastRun = LocalTime{2026, 12, 8, 2, 0, 0}; });
                      },
                      u"last-run", kFail,
                      u"The task ran at 08-12-26 02:00:00 but left no run log: LSScheduler.exe "
                      u"could not start, or could not write its log. The newest run log: The run "
                      u"of 07-12-26 02:00:00 ended",
                      kFail},
        SituationCase{"a task that ran five minutes into the newest log",
                      [](auto& os) {
                        ChangeTask(os, [](TaskInfo& changed) { changed.lastRun = LocalTime{2026, 12, 7, 2, 5, 0}; });
                      },
                      u"last-run", kOk, u"The run of 07-12-26 02:00:00 ended", kOk},
        SituationCase{"a task that ran with only a start without -s since",
                      [](auto& os) {
                        os.disk.AddFile(u"C:\\Logs\\Scheduler081226090000.log", "");
                        ChangeTask(os, [](TaskInfo& changed) { changed.lastRun = LocalTime{2026, 12, 8, 2, 0, 0}; });
                      },
                      u"last-run", kFail,
                      u"The task ran at 08-12-26 02:00:00 but left no run log", kFail},
        SituationCase{"a task that ran with only empty logs",
                      [](auto& os) {
                        os.queries.RemoveFile(u"C:\\Logs\\Scheduler071226020000.log");
                        os.disk.AddFile(u"C:\\Logs\\Scheduler081226090000.log", "");
                        ChangeTask(os, [](TaskInfo& changed) { changed.lastRun = LocalTime{2026, 12, 8, 2, 0, 0}; });
                      },
                      u"last-run", kFail,
                      u"The task ran at 08-12-26 02:00:00 but left no run log in C:\\Logs", kFail}),
    CaseIndex);

struct AccountCase {
  std::u16string account;
  bool service;
};

class ServiceAccounts : public testing::TestWithParam<AccountCase> {};

TEST_P(ServiceAccounts, AreKnownByEverySpelling) {
  EXPECT_EQ(IsServiceAccount(GetParam().account), GetParam().service)
      << std::string(GetParam().account.begin(), GetParam().account.end());
}

INSTANTIATE_TEST_SUITE_P(
    Table, ServiceAccounts,
    testing::Values(AccountCase{u"SYSTEM", true}, AccountCase{u"NT AUTHORITY\\SYSTEM", true},
                    AccountCase{u"nt authority\\system", true}, AccountCase{u"S-1-5-18", true},
                    AccountCase{u"LocalSystem", true}, AccountCase{u".\\LocalSystem", true},
                    AccountCase{u"LOCAL SERVICE", true}, AccountCase{u"LocalService", true},
                    AccountCase{u"NT AUTHORITY\\LOCAL SERVICE", true},
                    AccountCase{u"NT AUTHORITY\\LocalService", true}, AccountCase{u"S-1-5-19", true},
                    AccountCase{u"NETWORK SERVICE", true}, AccountCase{u"NetworkService", true},
                    AccountCase{u"NT AUTHORITY\\NETWORK SERVICE", true},
                    AccountCase{u" S-1-5-20 ", true}, AccountCase{u"CONTOSO\\ana", false},
                    AccountCase{u"CONTOSO\\SYSTEM", false}, AccountCase{u"SYSTEMS", false},
                    AccountCase{u"S-1-5-32-545", false}, AccountCase{u"S-1-5-1", false},
                    AccountCase{u"NT AUTHORITY\\", false}, AccountCase{u"", false}),
    CaseIndex);

struct OptionCase {
  std::vector<std::u16string> arguments;
  int exitCode;
  std::u16string output;  // a part of standard output
  std::u16string error;   // a part of standard error
  std::function<void(test::FakeCheckPlatform&)> change = nullptr;  // of the good machine
};

class RecordingConsole : public Console {
 public:
  void Write(OutputStream stream, std::u16string_view text) override {
    (stream == OutputStream::kOutput ? output : error) += text;
  }
  std::u16string output;
  std::u16string error;
};

class Options : public testing::TestWithParam<OptionCase> {};

TEST_P(Options, GiveTheirOutputAndExitCode) {
  const OptionCase& c = GetParam();
  test::FakeCheckPlatform os;
  SetUpGoodMachine(os);
  if (c.change) c.change(os);
  os.process.arguments = {u"LSSchedulerCheck.exe"};
  os.process.arguments.insert(os.process.arguments.end(), c.arguments.begin(), c.arguments.end());
  RecordingConsole console;
  EXPECT_EQ(RunCheckTool(os.bundle, console, u"1.2.3.4"), c.exitCode);
  EXPECT_NE(console.output.find(c.output), std::u16string::npos)
      << std::string(console.output.begin(), console.output.end());
  EXPECT_NE(console.error.find(c.error), std::u16string::npos);
  if (c.error.empty()) {
    EXPECT_EQ(console.error, u"");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, Options,
    testing::Values(
        OptionCase{{}, 0, u"last-run         OK     The run of 07-12-26 02:00:00 ended", u""},
        OptionCase{{}, 0, u"\nVerdict: OK (exit code 0)\n", u""},
        OptionCase{{u"--json"},
                   0,
                   u"{\"tool\":\"LSSchedulerCheck\",\"schema\":3,\"version\":\"1.2.3.4\","
                   u"\"computer\":\"PC-0417\",\"user\":\"BRINMOOR\\\\avery\","
                   u"\"checkedAt\":\"2026-12-08T12:00:00Z\",\"schedulerVersion\":\"1.0.0.7\","
                   u"\"verdict\":\"OK\",\"exitCode\":0,",
                   u""},
        OptionCase{{u"--json"},
                   0,
                   u"\"details\":{\"file\":\"C:\\\\Logs\\\\Scheduler071226020000.log\",\"start\":"
                   u"\"2026-12-07T02:00:00\"",
                   u""},
        OptionCase{{u"--json"}, 0, u"{\"id\":\"outlook-running\",\"status\":\"INFO\",", u""},
        OptionCase{{u"--json"},
                   0,
                   u"{\"id\":\"log-folder\",\"status\":\"OK\",\"message\":\"Runs log to "
                   u"C:\\\\Logs.\",\"details\":{\"folder\":\"C:\\\\Logs\",\"retentionDays\":\"0\"}}",
                   u""},
        OptionCase{
            {u"--help"}, 0, u"Usage: LSSchedulerCheck [--json | --quiet] [--only ID[,ID...]]", u""},
        OptionCase{{u"/?"}, 0, u"Exit code: 0 all OK", u""},
        OptionCase{{u"--version"}, 0, u"LSSchedulerCheck 1.2.3.4\n", u""},
        OptionCase{
            {u"--max-age-hours", u"24"}, 2, u"No run since 07-12-26 02:00:00 (34 h ago", u""},
        OptionCase{{u"--max-age-hours", u"34"}, 0, u"Verdict: OK", u""},
        OptionCase{{u"--max-age-hours=100000"}, 0, u"Verdict: OK", u""},
        OptionCase{{u"--max-age-hours"}, 64, u"", u"--max-age-hours needs a number of hours"},
        OptionCase{{u"--max-age-hours", u"0"}, 64, u"", u"from 1 to 876000, not \"0\""},
        OptionCase{{u"--max-age-hours=1x"}, 64, u"", u"not \"1x\""},
        OptionCase{{u"-s"},
                   64,
                   u"",
                   u"LSSchedulerCheck: unknown option: -s\nTry 'LSSchedulerCheck --help'.\n"},
        OptionCase{{u"--json", u"now"}, 64, u"", u"unexpected argument: now"},
        OptionCase{{}, 0, u"outlook-running  INFO   Outlook is not running.\n", u""},
        OptionCase{
            {u"--task", u"Other"}, 1, u"task             WARN   There is no task \"Other\"", u""},
        OptionCase{{u"--task", u"Other"}, 1, u"\nVerdict: WARN (exit code 1)\n", u""},
        OptionCase{{u"--task=\\Larkspan Nightly"}, 0, u"Verdict: OK", u""},
        OptionCase{{u"--task"}, 64, u"", u"--task needs a task name"},
        OptionCase{{u"--task="}, 64, u"", u"--task needs a task name"},
        OptionCase{
            {u"--only", u"last-run,task"},
            0,
            u"FINDING\ntask             OK     The task \"Larkspan Nightly\" starts "
            u"C:\\Program Files\\Larkspan\\LSScheduler.exe -s -e -p Work -n Nightly; its last "
            u"run (07-12-26 02:00:00) ended well.\nlast-run         OK ",
            u""},
        OptionCase{{u"--only=wait-seconds", u"--task", u"Other"},
                   0,
                   u"FINDING\nwait-seconds     OK     A run waits 15 s for Outlook to start.\n\n",
                   u""},
        OptionCase{
            {u"--only", u"mapi,nope"},
            64,
            u"",
            u"LSSchedulerCheck: unknown check \"nope\"; the checks are: outlook, mapi, "
            u"log-folder, wait-seconds, toolbar, outlook-running, sync-now, task, last-run\n"},
        OptionCase{{u"--only"}, 64, u"", u"--only needs a list of check ids"},
        OptionCase{{u"--only", u"task,"}, 64, u"", u"unknown check \"\""},
        OptionCase{{u"--quiet"}, 0, u"OK: nothing to do.\n", u""},
        OptionCase{{u"--collect", u"C:\\Temp\\lss-bundle"},
                   0,
                   u"\nThe support bundle is in C:\\Temp\\lss-bundle: check.json, check.txt, "
                   u"Scheduler071226020000.log, settings.reg, machine.txt.\n",
                   u""},
        OptionCase{{u"--collect=C:\\Logs"}, 64, u"", u"C:\\Logs is not empty"},
        OptionCase{{u"--collect"}, 64, u"", u"--collect needs a folder"},
        OptionCase{{u"--collect", u"C:\\B", u"--json"},
                   64,
                   u"",
                   u"--collect runs every check and writes both reports: it cannot be combined "
                   u"with --json, --quiet, --only or --eventlog\n"},
        OptionCase{{u"--only=task", u"--collect=C:\\B"}, 64, u"", u"cannot be combined"},
        OptionCase{{u"--collect=C:\\B", u"--eventlog"}, 64, u"", u"cannot be combined"},
        OptionCase{{u"--help"}, 0, u"  --collect FOLDER    run every check and write a support", u""},
        OptionCase{{u"--quiet", u"--task", u"Other", u"--max-age-hours", u"24"},
                   2,
                   u"FAIL: last-run: No run since 07-12-26 02:00:00 (34 h ago; the limit is 24 h)",
                   u""},
        OptionCase{{u"--quiet", u"--task", u"Other"},
                   1,
                   u"WARN: task: There is no task \"Other\": no scheduled run on this machine "
                   u"under that name. Create it as the README shows, or name yours with --task.\n",
                   u""},
        OptionCase{{u"--quiet"},
                   1,
                   u"Set WaitSecondsForOutlookStart to 10 or more. (and 1 more)\n",
                   u"",
                   [](auto& os) {
                     SetWait(os, 5);
                     os.tasks.failure = task_result::kNotFound;
                   }},
        OptionCase{{u"--json", u"--quiet"}, 64, u"", u"--json and --quiet cannot be combined"}),
    CaseIndex);

struct EventCase {
  const char* what;
  std::function<void(test::FakeCheckPlatform&)> change;
  std::vector<std::u16string> arguments;  // besides --eventlog
  Status result;                          // of the event write
  EventType type;
  std::uint32_t id;
  std::vector<std::u16string> strings;  // the event's insertion strings
  int exitCode;
  std::u16string output;  // a part of the table
};

class Events : public testing::TestWithParam<EventCase> {};

TEST_P(Events, CarryTheVerdictTheFindingsAndTheRun) {
  const EventCase& c = GetParam();
  test::FakeCheckPlatform os;
  SetUpGoodMachine(os);
  c.change(os);
  os.eventLog.result = c.result;
  os.process.arguments = {u"LSSchedulerCheck.exe", u"--eventlog"};
  os.process.arguments.insert(os.process.arguments.end(), c.arguments.begin(), c.arguments.end());
  RecordingConsole console;
  EXPECT_EQ(RunCheckTool(os.bundle, console, u"1.2.3.4"), c.exitCode) << c.what;
  EXPECT_NE(console.output.find(c.output), std::u16string::npos)
      << c.what << ": " << std::string(console.output.begin(), console.output.end());
  if (c.result != 0) {
    EXPECT_TRUE(os.eventLog.events.empty()) << c.what;
    return;
  }
  ASSERT_EQ(os.eventLog.events.size(), 1u) << c.what;
  const test::FakeEventLog::Event& event = os.eventLog.events.front();
  EXPECT_EQ(event.source, u"LSScheduler") << c.what;
  EXPECT_EQ(event.type, c.type) << c.what;
  EXPECT_EQ(event.id, c.id) << c.what;
  EXPECT_EQ(event.strings, c.strings) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Events,
    testing::Values(
        EventCase{"all well, Outlook open",
                  [](auto& os) { os.queries.runningPrograms = {u"OUTLOOK.EXE"}; },
                  {},
                  0,
                  EventType::kInformation,
                  1000,
                  {u"OK", u"0", u"", u"C:\\Logs\\Scheduler071226020000.log", u"2026-12-07T02:00:00",
                   u"2026-12-07T02:03:41", u"1.0.0.7"},
                  0,
                  u"Verdict: OK"},
        EventCase{"a warning", [](auto& os) { os.tasks.failure = task_result::kNotFound; },
                  {}, 0, EventType::kWarning, 1001,
                  {u"WARN", u"1",
                   u"task WARN: There is no task \"Larkspan Nightly\": no scheduled run on this "
                   u"machine under that name. Create it as the README shows, or name yours with "
                   u"--task.",
                   u"C:\\Logs\\Scheduler071226020000.log", u"2026-12-07T02:00:00",
                   u"2026-12-07T02:03:41", u"1.0.0.7"},
                  1, u"Verdict: WARN"},
        EventCase{
            "a failure and a warning",
            [](auto& os) {
              SetWait(os, 5);
              os.queries.mutex = {MutexState::kOtherObject, 0};
            },
            {}, 0, EventType::kError, 1002,
            {u"FAIL", u"2",
             u"wait-seconds WARN: A run waits only 5 s for Outlook to start: the add-in may not "
             u"have started its synchronization when the wait ends. Set "
             u"WaitSecondsForOutlookStart to 10 or more.\nsync-now FAIL: The name LSSyncMutex "
             u"belongs to another kind of object: a -s -e run cannot wait for the add-in and logs "
             u"an error. Restart the session or the computer.",
             u"C:\\Logs\\Scheduler071226020000.log", u"2026-12-07T02:00:00",
             u"2026-12-07T02:03:41", u"1.0.0.7"},
            2, u"Verdict: FAIL"},
        EventCase{"a newest log that is not a log, no LSScheduler.exe beside the tool",
                  [](auto& os) {
                    os.disk.AddFile(u"C:\\Logs\\Scheduler081226020000.log", "x");
                    os.queries.RemoveFile(u"C:\\Program Files\\Larkspan\\LSScheduler.exe");
                  },
                  {u"--only", u"last-run"}, 0, EventType::kWarning, 1001,
                  {u"WARN", u"1",
                   u"last-run WARN: The newest log C:\\Logs\\Scheduler081226020000.log is not in "
                   u"the scheduler's format (it does not begin with a line break): the last run "
                   u"cannot be judged.",
                   u"C:\\Logs\\Scheduler081226020000.log", u"-", u"-", u"not found"},
                  1, u"Verdict: WARN"},
        EventCase{"no last-run check, a scheduler without a version",
                  [](auto& os) { os.disk.fileVersions.clear(); },
                  {u"--only", u"toolbar"}, 0, EventType::kInformation, 1000,
                  {u"OK", u"0", u"", u"-", u"-", u"-", u"not found"},
                  0, u"Verdict: OK"},
        EventCase{"a write that fails", [](auto&) {}, {}, 5, EventType::kInformation, 1000, {},
                  1,
                  u"eventlog         WARN   The verdict could not be written to the Application "
                  u"log: Access is denied.\n\nVerdict: WARN (exit code 1)"}),
    CaseIndex);

struct FactsCase {
  const char* what;
  std::function<void(test::FakeCheckPlatform&)> change;
  std::u16string json;  // a part of the JSON
};

class JsonFacts : public testing::TestWithParam<FactsCase> {};

TEST_P(JsonFacts, SayWhereAndWhenTheCheckRan) {
  const FactsCase& c = GetParam();
  test::FakeCheckPlatform os;
  SetUpGoodMachine(os);
  c.change(os);
  os.process.arguments = {u"LSSchedulerCheck.exe", u"--json", u"--only", u"toolbar"};
  RecordingConsole console;
  RunCheckTool(os.bundle, console, u"1.2.3.4");
  EXPECT_NE(console.output.find(c.json), std::u16string::npos)
      << c.what << ": " << std::string(console.output.begin(), console.output.end());
}

INSTANTIATE_TEST_SUITE_P(
    Table, JsonFacts,
    testing::Values(
        FactsCase{"no LSScheduler.exe beside the tool",
                  [](auto& os) {
                    os.queries.RemoveFile(u"C:\\Program Files\\Larkspan\\LSScheduler.exe");
                  },
                  u",\"schedulerVersion\":null,"},
        FactsCase{"a scheduler without a version resource",
                  [](auto& os) { os.disk.fileVersions.clear(); }, u",\"schedulerVersion\":null,"},
        FactsCase{"a tool whose own path is unknown",
                  [](auto& os) { os.queries.programPath.clear(); }, u",\"schedulerVersion\":null,"},
        FactsCase{"no computer or user name",
                  [](auto& os) {
                    os.queries.computerName.clear();
                    os.queries.userName.clear();
                  },
                  u",\"computer\":\"\",\"user\":\"\","},
        FactsCase{"the start of 1970", [](auto& os) { os.clock.SetNow(0); },
                  u",\"checkedAt\":\"1970-01-01T00:00:00Z\","},
        FactsCase{"a leap day", [](auto& os) { os.clock.SetNow(1709251199); },
                  u",\"checkedAt\":\"2024-02-29T23:59:59Z\","},
        FactsCase{"the last second of 1969", [](auto& os) { os.clock.SetNow(-1); },
                  u",\"checkedAt\":\"1969-12-31T23:59:59Z\","},
        FactsCase{"the last second of 9999", [](auto& os) { os.clock.SetNow(253402300799); },
                  u",\"checkedAt\":\"9999-12-31T23:59:59Z\","},
        FactsCase{"a time after 9999", [](auto& os) { os.clock.SetNow(253402300800); },
                  u",\"checkedAt\":\"\","}),
    CaseIndex);

struct JsonCase {
  std::u16string text;
  std::u16string json;
};

class JsonStrings : public testing::TestWithParam<JsonCase> {};

TEST_P(JsonStrings, AreEscaped) { EXPECT_EQ(JsonString(GetParam().text), GetParam().json); }

INSTANTIATE_TEST_SUITE_P(Table, JsonStrings,
                         testing::Values(JsonCase{u"", u"\"\""},
                                         JsonCase{u"C:\\Logs \"x\"", u"\"C:\\\\Logs \\\"x\\\"\""},
                                         JsonCase{u"a\nb\r\t\b\f", u"\"a\\nb\\r\\t\\b\\f\""},
                                         JsonCase{std::u16string(u"\0\x01\x1f\x7f", 4),
                                                  u"\"\\u0000\\u0001\\u001f\\u007f\""},
                                         JsonCase{u"Caf\u00E9 \u65E5 /",
                                                  u"\"Caf\u00E9 \u65E5 /\""}),
                         CaseIndex);

}  // namespace
}  // namespace lss
