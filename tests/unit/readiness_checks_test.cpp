#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "check/check_output.h"
#include "check/check_tool.h"
#include "fake/fake_platform.h"
#include "settings/registry_text.h"

namespace lss {
namespace {

constexpr auto CaseIndex = [](const auto& info) { return std::to_string(info.index); };

constexpr std::u16string_view kAppPaths =
    u"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\OUTLOOK.EXE";
constexpr std::u16string_view kMail = u"HKLM\\Software\\Clients\\Mail";
constexpr std::u16string_view kSettings = u"HKCU\\Software\\Brinmoor\\Larkspan\\Settings";
constexpr char kCompleteRun[] =
    "\r\n07-12-26 02:00:00: Block Larkspan Toolbar Load"
    "\r\n07-12-26 02:00:15: KSScheduler: MAPIInitialize"
    "\r\n07-12-26 02:03:41: KSScheduler: MAPI MAPIUninitialize"
    "\r\n07-12-26 02:03:41: De-Block Larkspan Toolbar Load";

// A machine on which every check passes.
void SetUpGoodMachine(test::FakePlatform& os) {
  os.registry.SetString(kAppPaths, u"Path", u"C:\\Office\\");
  os.files.AddFolder(u"C:\\Office");
  os.files.AddFile(u"C:\\Office\\OUTLOOK.EXE");
  os.files.AddFile(u"C:\\Office\\olmapi32.dll");
  os.files.AddFolder(u"C:\\Windows\\System32");
  os.files.AddFile(u"C:\\Windows\\System32\\mapi32.dll");
  os.registry.SetString(kMail, u"", u"Microsoft Outlook");
  os.registry.SetString(u"HKLM\\Software\\Clients\\Mail\\Microsoft Outlook", u"DLLPathEx",
                        u"C:\\Office\\olmapi32.dll");
  os.registry.SetString(kSettings, u"LogDirectory", u"C:\\Logs");
  os.registry.SetDword(kSettings, u"WaitSecondsForOutlookStart", 15);
  os.files.AddFolder(u"C:\\Logs");
  os.files.AddFile(u"C:\\Logs\\Scheduler071226020000.log", kCompleteRun);
  os.messages.Set(5, u"Access is denied.\r\n");
  os.clock.SetLocalTime(LocalTime{2026, 12, 8, 12, 0, 0});
}

struct SituationCase {
  const char* what;
  std::function<void(test::FakePlatform&)> change;
  std::u16string id;  // the check this row is about
  CheckStatus status;
  std::u16string message;  // a part of its message
  CheckStatus verdict;
};

class Situations : public testing::TestWithParam<SituationCase> {};

TEST_P(Situations, GiveTheirStatusAndMessage) {
  const SituationCase& c = GetParam();
  test::FakePlatform os;
  SetUpGoodMachine(os);
  c.change(os);
  os.journal.Clear();

  const std::vector<CheckResult> results = RunAllChecks(os.bundle, CheckOptions{});

  const CheckResult* found = nullptr;
  for (const CheckResult& result : results) {
    if (result.id == c.id) found = &result;
  }
  ASSERT_NE(found, nullptr) << c.what;
  EXPECT_EQ(found->status, c.status) << c.what;
  EXPECT_NE(found->message.find(c.message), std::u16string::npos) << c.what;
  EXPECT_EQ(Verdict(results), c.verdict) << c.what;
  // Nothing is written or created: no key, no value, no mutex, no file left.
  EXPECT_TRUE(os.journal.Matching("RegCreateKey").empty()) << c.what;
  EXPECT_TRUE(os.journal.Matching("RegSetValue").empty()) << c.what;
  EXPECT_TRUE(os.journal.Matching("CreateMutex").empty()) << c.what;
  EXPECT_FALSE(os.files.Contents(u"C:\\Logs\\LSSchedulerCheck.probe")) << c.what;
  EXPECT_EQ(os.registry.openHandles(), 0u) << c.what;
  EXPECT_EQ(os.sync.openHandles, 0) << c.what;
  EXPECT_FALSE(os.sync.held) << c.what;
}

void SetWait(test::FakePlatform& os, std::uint32_t seconds) {
  os.registry.SetDword(kSettings, u"WaitSecondsForOutlookStart", seconds);
}

const CheckStatus kOk = CheckStatus::kOk;
const CheckStatus kWarn = CheckStatus::kWarn;
const CheckStatus kFail = CheckStatus::kFail;

INSTANTIATE_TEST_SUITE_P(
    Table, Situations,
    testing::Values(
        SituationCase{"all well", [](auto&) {}, u"outlook", kOk,
                      u"Outlook is at C:\\Office\\OUTLOOK.EXE.", kOk},
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
                      [](auto& os) { os.files.systemDirectory = u"C:\\Windows\\Elsewhere"; },
                      u"mapi", kFail, u"C:\\Windows\\Elsewhere\\mapi32.dll is missing", kFail},
        SituationCase{"no default mail client",
                      [](auto& os) { os.registry.DeleteValue(kMail, u""); }, u"mapi", kFail,
                      u"No default mail client is registered", kFail},
        SituationCase{"32-bit Outlook",
                      [](auto& os) {
                        os.registry.DeleteKey(kMail);
                        os.registry.SetString(u"HKLM\\Software\\WOW6432Node\\Clients\\Mail", u"",
                                              u"Microsoft Outlook");
                      },
                      u"mapi", kFail, u"this 64-bit program needs 64-bit Outlook", kFail},
        SituationCase{"no DLLPathEx",
                      [](auto& os) {
                        os.registry.SetString(kMail, u"", u"Other Mail");
                        os.registry.SetString(u"HKLM\\Software\\Clients\\Mail\\Other Mail",
                                              u"DLLPath", u"x");
                      },
                      u"mapi", kWarn, u"The mail client Other Mail has no DLLPathEx", kWarn},
        SituationCase{"DLLPathEx names no file",
                      [](auto& os) {
                        os.registry.SetString(u"HKLM\\Software\\Clients\\Mail\\Microsoft Outlook",
                                              u"DLLPathEx", u"C:\\Gone\\x.dll");
                      },
                      u"mapi", kFail,
                      u"names C:\\Gone\\x.dll as its MAPI library, which does not exist", kFail},
        SituationCase{"no LogDirectory",
                      [](auto& os) { os.registry.DeleteValue(kSettings, u"LogDirectory"); },
                      u"log-folder", kWarn, u"LogDirectory is not set: runs leave no record",
                      kWarn},
        SituationCase{"LogDirectory of another type",
                      [](auto& os) {
                        os.registry.Set(kSettings, u"LogDirectory", reg::kExpandSz,
                                        EncodeRegistryText(u"C:\\Logs"));
                      },
                      u"log-folder", kFail, u"LogDirectory is REG_EXPAND_SZ, not REG_SZ", kFail},
        SituationCase{
            "log folder missing",
            [](auto& os) { os.registry.SetString(kSettings, u"LogDirectory", u"C:\\Nowhere"); },
            u"log-folder", kFail, u"LogDirectory C:\\Nowhere is not an existing folder", kFail},
        SituationCase{"log folder not writable", [](auto& os) { os.files.DenyProbe(true); },
                      u"log-folder", kFail,
                      u"No file can be created in C:\\Logs: Access is denied.", kFail},
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
                        os.process.runningPrograms = {u"LSScheduler.exe"};
                      },
                      u"toolbar", kOk, u"blocked for the run going on now", kOk},
        SituationCase{
            "no toolbar block",
            [](auto& os) { os.registry.SetDword(kSettings, u"BlockToolbarLoadOrg", 0xFFFFFFFF); },
            u"toolbar", kOk, u"No toolbar block is pending.", kOk},
        SituationCase{"Outlook running",
                      [](auto& os) { os.process.runningPrograms = {u"outlook.exe"}; },
                      u"outlook-running", kWarn, u"Outlook is running now", kWarn},
        SituationCase{"no mutex", [](auto&) {}, u"sync-now", kOk, u"(LSSyncMutex does not exist)",
                      kOk},
        SituationCase{"the add-in syncing",
                      [](auto& os) {
                        os.sync.openExistingResult = 0;
                        os.sync.waitResults = {wait_result::kTimeout};
                      },
                      u"sync-now", kOk, u"synchronizing now (it holds LSSyncMutex)", kOk},
        SituationCase{"a free mutex, given back at once",
                      [](auto& os) { os.sync.openExistingResult = 0; }, u"sync-now", kOk,
                      u"The add-in is not synchronizing now.", kOk},
        SituationCase{"the name taken by an event",
                      [](auto& os) { os.sync.openExistingResult = 6; }, u"sync-now", kFail,
                      u"belongs to another kind of object", kFail}),
    CaseIndex);

struct OptionCase {
  std::vector<std::u16string> arguments;
  int exitCode;
  std::u16string output;  // a part of standard output
  std::u16string error;   // a part of standard error
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
  test::FakePlatform os;
  SetUpGoodMachine(os);
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
                   u"{\"tool\":\"LSSchedulerCheck\",\"version\":\"1.2.3.4\",\"verdict\":\"OK\","
                   u"\"exitCode\":0,",
                   u""},
        OptionCase{{u"--json"},
                   0,
                   u"\"details\":{\"file\":\"C:\\\\Logs\\\\Scheduler071226020000.log\",\"start\":"
                   u"\"2026-12-07T02:00:00\"",
                   u""},
        OptionCase{{u"--help"}, 0, u"Usage: LSSchedulerCheck [--json] [--max-age-hours N]", u""},
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
        OptionCase{{u"--json", u"now"}, 64, u"", u"unexpected argument: now"}),
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
