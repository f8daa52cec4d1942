// LSSchedulerCheck.exe against machines set up with the stand-ins, before and
// after real runs of LSScheduler.exe. Every check leaves the registry and the
// log folder as it found them. The task check has its own suite
// (check_task_test.cpp): these run every other check.
#include <windows.h>

#include <algorithm>
#include <ctime>
#include <map>
#include <memory>
#include <regex>

#include "harness/check_json.h"
#include "harness/scheduled_tasks.h"
#include "harness/scheduler_test.h"

namespace e2e {
namespace {

using ::testing::_;
using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::Matcher;
using ::testing::Optional;
using ::testing::StartsWith;
using Json = ::e2e::CheckJson;

struct Row {
  std::string status;
  std::string message;
};

// The run and the table it printed.
struct Report : CapturedRun {
  std::vector<std::string> ids;  // in the order printed
  std::map<std::string, Row> checks;
  std::string verdict;  // the table's last line
};

// "07-12-26 02:00:00:" as the JSON's "2026-12-07T02:00:00".
std::string IsoFromStamp(const std::string& stamp) {
  return "20" + stamp.substr(6, 2) + "-" + stamp.substr(3, 2) + "-" + stamp.substr(0, 2) + "T" +
         stamp.substr(9, 8);
}

// The time now in UTC, as the JSON's checkedAt gives it.
std::string UtcNow() {
  const std::time_t now = std::time(nullptr);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", std::gmtime(&now));
  return text;
}

// "07-12-26 02:00:00:" as the report shows times.
std::string ShownStamp(const std::string& stamp) { return stamp.substr(0, 17); }

class CheckTool : public SchedulerTest {
 protected:
  // What the demo sets up: the stand-ins installed and registered, a log
  // folder, the add-in synchronizing for 3 s from Outlook's start.
  void SetUpAsTheDemo(std::uint32_t waitSeconds) {
    SetUpWholeRun(waitSeconds,
                  {{L"SyncMilliseconds", Dword(3000)}, {L"StayMilliseconds", Dword(60000)}});
  }

  // Everything the tool reads and must not change.
  std::string Snapshot() {
    std::string files;
    for (const std::wstring& name : FileNamesIn(LogFolder())) files += ToUtf8(name) + "\n";
    return DumpKeyTree(HKEY_CURRENT_USER, kProductKey) +
           DumpKeyTree(HKEY_LOCAL_MACHINE, kAppPathsKey) +
           DumpKeyTree(HKEY_LOCAL_MACHINE, kMailClientsKey) + files;
  }

  CapturedRun RunCheck(std::wstring_view arguments) {
    const std::string before = Snapshot();
    CapturedRun run = RunCheckTool(
        L"--only outlook,mapi,log-folder,wait-seconds,toolbar,outlook-running,sync-now,last-run " +
        std::wstring(arguments));
    EXPECT_EQ(Snapshot(), before) << "LSSchedulerCheck changed the registry or the log folder";
    return run;
  }

  // Runs the tool without options and reads its table.
  Report Check() {
    Report report{RunCheck(L""), {}, {}, {}};
    for (const std::string_view line : Split(report.output, "\r\n")) {
      if (line.starts_with("Verdict: ")) {
        report.verdict = line;
      } else if (line.size() >= 24 && !line.starts_with("CHECK") && line[0] != ' ') {
        const std::string id(line.substr(0, line.find(' ')));
        report.ids.push_back(id);
        report.checks[id] = Row{std::string(line.substr(17, line.find(' ', 17) - 17)),
                                std::string(line.substr(24))};
      }
    }
    return report;
  }

  // One JSON object in valid UTF-8 with the fields and types the README
  // documents: the parser refuses anything else, text after the object included.
  Json CheckJson() {
    const CapturedRun run = RunCheck(L"--json");
    std::string problem;
    Json json = ParseCheckJson(run.output, problem);
    EXPECT_EQ(problem, "") << "in:\n" << run.output;
    return json;
  }

  // Polls the one log file until it holds `text`.
  bool WaitForLogEntry(const std::string& text, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
      const std::vector<std::wstring> files = LogFiles();
      if (files.size() == 1 &&
          ReadFileBytes(LogFolder() + L"\\" + files[0]).find(text) != std::string::npos) {
        return true;
      }
      if (std::chrono::steady_clock::now() > deadline) return false;
      ::Sleep(100);
    }
  }

  // The row of `id` has `status` and a message that `message` matches.
  static void ExpectRow(Report& report, const std::string& id, const char* status,
                        const Matcher<std::string>& message = _) {
    EXPECT_EQ(report.checks[id].status, status) << id << " in:\n" << report.output;
    EXPECT_THAT(report.checks[id].message, message) << id;
  }

  // Facts are INFO, everything else OK, but for `others`.
  void ExpectAllOkBut(const Report& report, const std::map<std::string, std::string>& others) {
    EXPECT_EQ(report.ids,
              (std::vector<std::string>{"outlook", "mapi", "log-folder", "wait-seconds", "toolbar",
                                        "outlook-running", "sync-now", "last-run"}))
        << report.output;
    for (const auto& [id, row] : report.checks) {
      const auto other = others.find(id);
      const bool fact = id == "outlook-running" || id == "sync-now";
      EXPECT_EQ(row.status, other != others.end() ? other->second
                            : fact                ? "INFO"
                                                  : "OK")
          << id << ": " << row.message;
    }
  }
};

TEST_F(CheckTool, PassesOnTheDemoMachineAndJudgesARealRun) {
  SetUpAsTheDemo(2);
  RunScheduler(L"-s -e -p Work -n Nightly");
  WaitForOutlookExit(15s);
  const std::vector<LogEntry> log = TheLog();
  ASSERT_GE(log.size(), 2u);
  const std::string started = ShownStamp(log.front().stamp);
  const std::string ended = ShownStamp(log.back().stamp);

  // The demo's own short wait is the one warning.
  Report report = Check();
  EXPECT_EQ(report.exitCode, 1u) << report.output << report.error;
  ExpectAllOkBut(report, {{"wait-seconds", "WARN"}});
  EXPECT_THAT(report.checks["wait-seconds"].message, HasSubstr("waits only 2 s"));
  EXPECT_THAT(report.checks["last-run"].message,
              StartsWith("The run of " + started + " ended at " + ended + " after "));
  EXPECT_EQ(report.verdict, "Verdict: WARN (exit code 1)");

  SetSetting(L"WaitSecondsForOutlookStart", Dword(15));
  report = Check();
  EXPECT_EQ(report.exitCode, 0u) << report.output << report.error;
  ExpectAllOkBut(report, {});
  EXPECT_THAT(report.checks["outlook"].message, HasSubstr(kOutlookExe));
  EXPECT_EQ(report.checks["outlook-running"].message, "Outlook is not running.");
  EXPECT_EQ(report.verdict, "Verdict: OK (exit code 0)");

  // A user's open Outlook is a fact, not a fault: the exit code stays.
  {
    const ChildProcess outlook(std::wstring(kOutlookFolder) + L"OUTLOOK.EXE", L"");
    Report withOutlook = Check();
    EXPECT_EQ(withOutlook.exitCode, report.exitCode) << withOutlook.output;
    ExpectAllOkBut(withOutlook, {});
    EXPECT_THAT(withOutlook.checks["outlook-running"].message,
                StartsWith("Outlook is running now"));
  }
  EndProcessesNamed(L"OUTLOOK.EXE", 0ms);

  const std::string before = UtcNow();
  const Json json = CheckJson();
  const std::string after = UtcNow();
  EXPECT_EQ(json.schema, 3);
  // Wine runs on x64 hosts only.
  EXPECT_EQ(json.facts.at("nativeMachine"), "x64");
  // Where and when it ran, and the scheduler beside it (built with the tool's version).
  wchar_t computer[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD computerLength = MAX_COMPUTERNAME_LENGTH + 1;
  ASSERT_TRUE(::GetComputerNameW(computer, &computerLength));
  EXPECT_EQ(json.facts.at("computer"), ToUtf8(computer));
  wchar_t user[257] = {};
  DWORD userLength = 257;
  ASSERT_TRUE(::GetUserNameW(user, &userLength));
  EXPECT_THAT(json.facts.at("user"), Optional(testing::EndsWith("\\" + ToUtf8(user))));
  const std::string checkedAt = json.facts.at("checkedAt").value();
  EXPECT_TRUE(
      std::regex_match(checkedAt, std::regex("\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ")));
  EXPECT_LE(before, checkedAt);
  EXPECT_GE(after, checkedAt);
  EXPECT_EQ(json.facts.at("schedulerVersion"), json.facts.at("version"));
  EXPECT_EQ(json.checks.at(0).Detail("machine"), "x64");
  EXPECT_EQ(json.checks.at(1).Detail("machine"), "x64");
  EXPECT_EQ(json.verdict, "OK");
  EXPECT_EQ(json.exitCode, 0);
  ASSERT_EQ(json.checks.size(), report.ids.size());
  for (std::size_t i = 0; i < report.ids.size(); ++i) {
    const CheckJsonEntry& check = json.checks[i];
    EXPECT_EQ(check.id, report.ids[i]);
    EXPECT_EQ(check.status, report.checks[report.ids[i]].status);
    EXPECT_EQ(check.message, report.checks[report.ids[i]].message);
  }
  const CheckJsonEntry& lastRun = json.LastCheck();
  EXPECT_EQ(lastRun.Detail("start"), IsoFromStamp(log.front().stamp));
  EXPECT_EQ(lastRun.Detail("end"), IsoFromStamp(log.back().stamp));
}

TEST_F(CheckTool, FailsQuotingTheErrorOfALogonTheStandInRefuses) {
  SetUpAsTheDemo(1);
  // The logon fails before the run would wait for the add-in: no sync, and
  // Outlook up until after the run has ended.
  ConfigureStandIn({{L"LogonResult", Dword(0x80040111)},
                    {L"SyncMilliseconds", Dword(0)},
                    {L"StayMilliseconds", Dword(2000)}});
  RunScheduler(L"-s -e -p Work");
  WaitForOutlookExit(20s);

  const std::string error = "logged an error: LSScheduler Error: Code = 80040111,Meaning = ";
  Report report = Check();
  EXPECT_EQ(report.exitCode, 2u) << report.output;
  ExpectRow(report, "last-run", "FAIL", HasSubstr(error));
  const Json json = CheckJson();
  EXPECT_EQ(json.verdict, "FAIL");
  EXPECT_EQ(json.LastCheck().message, report.checks["last-run"].message);

  // A start without options (as to lift a toolbar block) leaves an empty log
  // of its own, in a later second: the failed run stays the one judged.
  ::Sleep(1100);
  RunScheduler(L"");
  ASSERT_EQ(LogFiles().size(), 2u);
  report = Check();
  EXPECT_EQ(report.exitCode, 2u) << report.output;
  ExpectRow(report, "last-run", "FAIL",
            AllOf(HasSubstr(error), HasSubstr("(and 1 later start without -s)")));
  EXPECT_EQ(CheckJson().LastCheck().Detail("laterStartsWithoutS"), "1");
}

TEST_F(CheckTool, JudgesTheRealRunBesideALogNamedIn2070) {
  SetUpAsTheDemo(2);
  RunScheduler(L"-s -e -p Work -n Nightly");
  WaitForOutlookExit(15s);
  const std::vector<LogEntry> log = TheLog();
  ASSERT_GE(log.size(), 2u);
  const std::wstring real = LogFolder() + L"\\" + LogFiles().at(0);
  SetSetting(L"WaitSecondsForOutlookStart", Dword(15));
  // A clock once set to 2070 left a failed run's log that sorts after every real one.
  const std::wstring future = L"Scheduler010170020000.log";
  WriteFileBytes(LogFolder() + L"\\" + future,
                 "\r\n01-01-70 02:00:00: LSScheduler Error: Can't find Outlook.exe");

  Report report = Check();
  EXPECT_EQ(report.exitCode, 1u) << report.output;
  ExpectAllOkBut(report, {{"last-run", "WARN"}});
  ExpectRow(report, "last-run", "WARN",
            AllOf(StartsWith("The run of " + ShownStamp(log.front().stamp) + " ended at " +
                             ShownStamp(log.back().stamp) + " after "),
                  HasSubstr(". The log " + ToUtf8(LogFolder() + L"\\" + future) +
                            " is named for a time after now (01-01-2070 02:00:00): the clock was "
                            "wrong when it was written, or is wrong now.")));
  const Json json = CheckJson();
  EXPECT_EQ(json.verdict, "WARN");
  EXPECT_EQ(json.LastCheck().Detail("file"), ToUtf8(real));
}

TEST_F(CheckTool, SeesARunGoingOnAndThenThatItWasKilled) {
  SetUpAsTheDemo(1);
  // The add-in holds LSSyncMutex long after the run has begun to wait for it.
  ConfigureStandIn({{L"SyncMilliseconds", Dword(60000)}, {L"StayMilliseconds", Dword(60000)}});
  {
    const std::unique_ptr<ChildProcess> run = StartScheduler(L"-s -e -p Work");
    ASSERT_TRUE(WaitForLogEntry("KSScheduler: Waiting for Larkspan", 30s));
    ASSERT_FALSE(WaitForEvent(JournalPath(), "outlook", "mutex-acquired", 10s).empty());

    Report during = Check();
    ExpectRow(during, "last-run", "OK", HasSubstr("A run is going on now"));
    ExpectRow(during, "sync-now", "INFO",
              "The add-in is synchronizing now (it holds LSSyncMutex).");
    ExpectRow(during, "outlook-running", "INFO");
    ExpectRow(during, "toolbar", "OK");
  }  // the run is killed here, while it waits
  EndProcessesNamed(L"OUTLOOK.EXE", 0ms);

  Report after = Check();
  EXPECT_EQ(after.exitCode, 2u) << after.output;
  ExpectRow(after, "last-run", "FAIL",
            HasSubstr("was interrupted after \"KSScheduler: Waiting for Larkspan\""));
  ExpectRow(after, "toolbar", "WARN", HasSubstr("(BlockToolbarLoadOrg = 0)"));
  ExpectRow(after, "outlook-running", "INFO", "Outlook is not running.");
}

TEST_F(CheckTool, NamesWhatIsMissingAndCreatesNothing) {
  // A user who never ran the scheduler: its keys must not appear.
  InstallOutlook();
  RegisterMapiProvider();
  Report report = Check();
  EXPECT_EQ(DumpKeyTree(HKEY_CURRENT_USER, kProductKey), "(no key)");
  EXPECT_EQ(report.exitCode, 1u) << report.output;
  ExpectAllOkBut(report, {{"log-folder", "WARN"}, {"last-run", "WARN"}});

  // A 32-bit OUTLOOK.EXE where the App Paths entry points fails it: only its
  // header is read.
  const std::wstring office32 = folder() + L"\\Office32";
  MakeFreshFolder(office32);
  std::string header(0x200, '\0');
  header.replace(0, 2, "MZ");
  header[0x3C] = static_cast<char>(0x80);
  header.replace(0x80, 6, std::string("PE\0\0\x4C\x01", 6));
  WriteFileBytes(office32 + L"\\OUTLOOK.EXE", header);
  SetValue(HKEY_LOCAL_MACHINE, kAppPathsKey, L"Path", RegValue::Sz(office32 + L"\\"));
  report = Check();
  EXPECT_EQ(report.exitCode, 2u);
  ExpectRow(report, "outlook", "FAIL",
            "32-bit Outlook: LSScheduler.exe is a 64-bit program and cannot use a 32-bit "
            "Outlook's MAPI; install 64-bit Office (" +
                ToUtf8(office32) + "\\OUTLOOK.EXE is x86).");

  // Removing the App Paths entry fails the outlook check.
  DeleteKeyTree(HKEY_LOCAL_MACHINE, kAppPathsKey);
  report = Check();
  EXPECT_EQ(report.exitCode, 2u);
  ExpectRow(report, "outlook", "FAIL", HasSubstr("OUTLOOK.EXE is missing"));

  // A folder name beyond ASCII comes out as UTF-8, escaped where JSON needs it.
  const std::wstring missing = folder() + L"\\Journ\u00E9es \u65E5\u672C \"x\"";
  SetSetting(L"LogDirectory", RegValue::Sz(missing));
  const Json json = CheckJson();
  EXPECT_EQ(json.exitCode, 2);
  const CheckJsonEntry& logFolder = json.checks.at(2);
  EXPECT_EQ(logFolder.id, "log-folder");
  EXPECT_EQ(logFolder.status, "FAIL");
  EXPECT_EQ(logFolder.Detail("folder"), ToUtf8(missing));

  const CapturedRun version = RunCheck(L"--version");
  EXPECT_EQ(version.exitCode, 0u);
  EXPECT_TRUE(std::regex_match(version.output,
                               std::regex("LSSchedulerCheck \\d+\\.\\d+\\.\\d+\\.\\d+\r\n")))
      << version.output;

  const CapturedRun usage = RunCheck(L"--frobnicate");
  EXPECT_EQ(usage.exitCode, 64u);
  EXPECT_THAT(usage.error, HasSubstr("unknown option: --frobnicate"));
  EXPECT_EQ(usage.output, "");
}

TEST_F(CheckTool, CollectsABundleThatReimportsTheSettingsAndIsNeverOverwritten) {
  SetUpAsTheDemo(2);
  // Settings of every kind reg export writes, in nested keys.
  const std::wstring larkspan = L"Software\\Brinmoor\\Larkspan";
  std::vector<std::uint8_t> blob;
  for (int i = 0; i < 100; ++i) blob.push_back(static_cast<std::uint8_t>(i * 7));
  SetSetting(L"Quoted \"name\" \\ here", RegValue::Sz(L"C:\\x \"y\" \\\\z"));
  SetSetting(L"", RegValue::Sz(L"the default"));
  SetSetting(L"Journ\u00E9e \u65E5", RegValue::Sz(L"\u00E9t\u00E9"));
  SetSetting(L"Expand", RegValue::ExpandSz(L"%LOCALAPPDATA%\\Logs"));
  SetSetting(L"Blob", RegValue::Binary(blob));
  SetSetting(L"Empty", RegValue::Binary({}));
  SetSetting(L"Multi", RegValue{REG_MULTI_SZ, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}});
  SetSetting(L"Quad", RegValue{REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 0x80}});
  SetSetting(L"None", RegValue{REG_NONE, {9}});
  // Not here: REG_SZ data without its NUL, which settings.reg writes as hex(1)
  // with the bytes as they are; Wine's reg import adds a NUL to it.
  SetSetting(L"Line\\nbreak", RegValue{REG_SZ, {'a', 0, '\r', 0, '\n', 0, 'b', 0, 0, 0}});
  SetSetting(L"Short dword", RegValue{REG_DWORD, {1, 2}});
  SetAdminOption(L"BlockToolbarLoadOrg", Dword(kMinusOne));
  SetValue(HKEY_CURRENT_USER, larkspan + L"\\Settings\\AdminOptions\\Deep\\Deeper", L"Level",
           Dword(4));
  SetValue(HKEY_CURRENT_USER, larkspan + L"\\Other", L"Kind", RegValue{0x20, {1, 2, 3}});

  const RegisteredTask task(WriteTaskTemplate(folder()), L"Larkspan Nightly", folder());
  RunScheduler(L"-s -e -p Work -n Nightly");
  WaitForOutlookExit(15s);
  ::Sleep(1100);  // an empty log of its own, a second later
  RunScheduler(L"");
  const std::vector<std::wstring> logs = LogFiles();
  ASSERT_EQ(logs.size(), 2u);

  const CapturedRun table = RunCheckTool(L"");
  const CapturedRun json = RunCheckTool(L"--json");
  const std::string settings = DumpKeyTree(HKEY_CURRENT_USER, larkspan);
  const std::wstring bundle = folder() + L"\\bundles\\2026\\pc";
  const CapturedRun collect = RunCheckTool(L"--collect \"" + bundle + L"\"");
  EXPECT_EQ(collect.exitCode, table.exitCode) << collect.output << collect.error;
  EXPECT_EQ(collect.error, "");
  EXPECT_THAT(collect.output, StartsWith(table.output));

  std::vector<std::wstring> expected = {L"check.json", L"check.txt", L"machine.txt",
                                        L"settings.reg", L"task.xml"};
  expected.insert(expected.end(), logs.begin(), logs.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(FileNamesIn(bundle), expected);
  for (const std::wstring& log : logs) {
    EXPECT_EQ(ReadFileBytes(bundle + L"\\" + log), ReadFileBytes(LogFolder() + L"\\" + log))
        << ToUtf8(log);
  }
  EXPECT_EQ(ReadFileBytes(bundle + L"\\check.txt"), table.output);
  // The same report but for the moment it was made: the two runs may fall in
  // different seconds.
  std::string bundledProblem;
  std::string printedProblem;
  Json bundled = ParseCheckJson(ReadFileBytes(bundle + L"\\check.json"), bundledProblem);
  Json printed = ParseCheckJson(json.output, printedProblem);
  EXPECT_EQ(bundledProblem, "");
  EXPECT_EQ(printedProblem, "");
  EXPECT_THAT(bundled.facts["checkedAt"],
              Optional(testing::MatchesRegex(R"(\d\d\d\d-\d\d-\d\dT\d\d:\d\d:\d\dZ)")));
  bundled.facts.erase("checkedAt");
  printed.facts.erase("checkedAt");
  EXPECT_EQ(bundled, printed);
  const std::string taskXml = ReadFileBytes(bundle + L"\\task.xml");
  // UTF-16 with its byte-order mark; Wine's copy of the task has no XML declaration.
  EXPECT_THAT(taskXml, StartsWith(std::string("\xFF\xFE<\0", 4)));
  EXPECT_THAT(taskXml, HasSubstr(std::string("<\0T\0a\0s\0k\0 \0", 12)));
  const std::string machine = ReadFileBytes(bundle + L"\\machine.txt");
  EXPECT_TRUE(
      std::regex_search(machine, std::regex("\r\nLSScheduler\\.exe: .*\\\\LSScheduler\\.exe, "
                                            "version \\d+\\.\\d+\\.\\d+\\.\\d+\r\n")))
      << machine;
  EXPECT_THAT(machine, HasSubstr("\r\nOutlook: " + std::string(kOutlookExe) + ", version "));
  EXPECT_THAT(machine, HasSubstr(", x64\r\nMail client: Olsim\r\nMAPI library: "));

  // reg import into the emptied key gives the same values, types and bytes.
  DeleteKeyTree(HKEY_CURRENT_USER, larkspan);
  const CapturedRun import =
      RunCapturingOutput(L"C:\\windows\\system32\\reg.exe",
                         L"import \"" + bundle + L"\\settings.reg\"", folder(), 30s);
  EXPECT_EQ(import.exitCode, 0u) << import.output << import.error;
  EXPECT_EQ(DumpKeyTree(HKEY_CURRENT_USER, larkspan), settings);

  // A second bundle into the same folder is refused and changes nothing.
  const std::map<std::wstring, std::string> written = FolderContents(bundle);
  const CapturedRun again = RunCheckTool(L"--collect \"" + bundle + L"\"");
  EXPECT_EQ(again.exitCode, 64u);
  EXPECT_EQ(again.error, "LSSchedulerCheck: " + ToUtf8(bundle) +
                             " is not empty: the support bundle never overwrites anything. Name "
                             "a new or empty folder.\r\n");
  EXPECT_EQ(again.output, "");
  EXPECT_EQ(FolderContents(bundle), written);
}

}  // namespace
}  // namespace e2e
