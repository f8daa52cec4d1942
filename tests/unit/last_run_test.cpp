#include "check/last_run.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "check/check_tool.h"
#include "diag/time_stamp.h"
#include "fake/fake_check_platform.h"

namespace lss {
namespace {

constexpr auto CaseIndex = [](const auto& info) { return std::to_string(info.index); };

// The bytes of a log holding `lines`, as the scheduler lays them out.
std::string Log(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += "\r\n" + line;
  return bytes;
}

const std::string kBlock = "07-12-26 02:00:00: Block Larkspan Toolbar Load";
const std::string kStart =
    "07-12-26 02:00:00: KSScheduler: Starting Outlook C:\\Office\\OUTLOOK.EXE /profile Work "
    "/recycle";
const std::string kWaitOutlook = "07-12-26 02:00:00: KSScheduler: Waiting for Outlook";
const std::string kInit = "07-12-26 02:00:15: KSScheduler: MAPIInitialize";
const std::string kLogon = "07-12-26 02:00:15: KSScheduler: MAPILogonEx";
const std::string kWaitAddIn = "07-12-26 02:00:16: KSScheduler: Waiting for Larkspan";
const std::string kLogoff = "07-12-26 02:03:41: KSScheduler: MAPI Logoff";
const std::string kUninit = "07-12-26 02:03:41: KSScheduler: MAPI MAPIUninitialize";
const std::string kDeBlock = "07-12-26 02:03:41: De-Block Larkspan Toolbar Load";

struct VerdictCase {
  const char* what;
  std::string bytes;
  std::uint64_t size;  // of the whole file; 0: the bytes are all of it
  bool running;
  CheckStatus status;
  std::u16string message;  // a part of the verdict's message
};

class Verdicts : public testing::TestWithParam<VerdictCase> {};

TEST_P(Verdicts, FollowFromTheLog) {
  const VerdictCase& c = GetParam();
  LogToJudge log;
  log.path = u"C:\\Logs\\Scheduler071226020000.log";
  log.opened = LocalTime{2026, 12, 7, 2, 0, 0};
  log.bytes = c.bytes;
  log.size = c.size != 0 ? c.size : c.bytes.size();
  log.schedulerRunning = c.running;
  const CheckResult result = JudgeRunLog(log);
  EXPECT_EQ(result.id, u"last-run") << c.what;
  EXPECT_EQ(result.status, c.status) << c.what;
  EXPECT_NE(result.message.find(c.message), std::u16string::npos)
      << c.what << ": " << std::string(result.message.begin(), result.message.end());
}

const std::string kHugeJunk(3 * kLogTailBytes, 'x');

INSTANTIATE_TEST_SUITE_P(
    Table, Verdicts,
    testing::Values(
        VerdictCase{"complete run",
                    Log({kBlock, kStart, kWaitOutlook, kInit, kLogon, kWaitAddIn, kLogoff, kUninit,
                         kDeBlock}),
                    0, false, CheckStatus::kOk,
                    u"The run of 07-12-26 02:00:00 ended at 07-12-26 02:03:41 after 3 min 41 s."},
        VerdictCase{"complete run without a block (BlockToolbarLoad was 1)",
                    Log({kStart, kWaitOutlook, kInit, kLogon, kWaitAddIn, kLogoff, kUninit}), 0,
                    false, CheckStatus::kOk, u"ended at 07-12-26 02:03:41"},
        VerdictCase{"refused logon",
                    Log({kBlock, kStart, kWaitOutlook, kInit, kLogon,
                         "07-12-26 02:00:15: LSScheduler Error: Code = 80040111,Meaning = x,Source "
                         "= (null),Description = (null)",
                         "07-12-26 02:00:15: De-Block Larkspan Toolbar Load"}),
                    0, false, CheckStatus::kFail,
                    u"logged an error: LSScheduler Error: Code = 80040111,Meaning = x,Source = "
                    u"(null),Description = (null)"},
        VerdictCase{"Outlook not found, with -s alone",
                    Log({"07-12-26 02:00:00: LSScheduler Error: Can't find Outlook.exe"}), 0, false,
                    CheckStatus::kFail, u"Can't find Outlook.exe"},
        VerdictCase{"a launch error of several lines, quoted on one",
                    Log({kStart,
                         "07-12-26 02:00:00: LSScheduler Error start Outlook: C:\\x, error:The "
                         "operating system denied",
                         "access to the specified file."}),
                    0, false, CheckStatus::kFail,
                    u"error:The operating system denied access to the specified file."},
        VerdictCase{"many errors: three are quoted",
                    Log({"07-12-26 02:00:00: LSScheduler Error: 1",
                         "07-12-26 02:00:00: LSScheduler Error: 2",
                         "07-12-26 02:00:00: LSScheduler Error: 3",
                         "07-12-26 02:00:00: LSScheduler Error: 4",
                         "07-12-26 02:00:00: LSScheduler Error: 5"}),
                    0, false, CheckStatus::kFail, u"Error: 2 | LSScheduler Error: 3 | and 2 more"},
        VerdictCase{"an entry cut into chunks is quoted whole",
                    Log({"07-12-26 02:00:00: LSScheduler Error: " + std::string(162, 'a'),
                         std::string(30, 'b')}),
                    0, false, CheckStatus::kFail, u"aaaaabbbbb"},
        VerdictCase{
            "interrupted while waiting for the add-in",
            Log({kBlock, kStart, kWaitOutlook, kInit, kLogon, kWaitAddIn}), 0, false,
            CheckStatus::kFail,
            u"was interrupted after \"KSScheduler: Waiting for Larkspan\" at 07-12-26 02:00:16"},
        VerdictCase{"still running", Log({kBlock, kStart, kWaitOutlook, kInit, kLogon, kWaitAddIn}),
                    0, true, CheckStatus::kOk, u"A run is going on now (started 07-12-26 02:00:00"},
        VerdictCase{"interrupted in the session, no block",
                    Log({kStart, kWaitOutlook, kInit, kLogon}), 0, false, CheckStatus::kFail,
                    u"interrupted after \"KSScheduler: MAPILogonEx\""},
        VerdictCase{"the wait for the add-in ended in its second",
                    Log({kBlock, kStart, kWaitOutlook, kInit, kLogon, kWaitAddIn,
                         "07-12-26 02:00:16: KSScheduler: MAPI Logoff",
                         "07-12-26 02:00:16: KSScheduler: MAPI MAPIUninitialize",
                         "07-12-26 02:00:16: De-Block Larkspan Toolbar Load"}),
                    0, false, CheckStatus::kWarn, u"in the second it began (07-12-26 02:00:16)"},
        VerdictCase{"the wait for the add-in ended a second later",
                    Log({kBlock, kStart, kWaitOutlook, kInit, kLogon, kWaitAddIn,
                         "07-12-26 02:00:17: KSScheduler: MAPI Logoff",
                         "07-12-26 02:00:17: KSScheduler: MAPI MAPIUninitialize",
                         "07-12-26 02:00:17: De-Block Larkspan Toolbar Load"}),
                    0, false, CheckStatus::kOk, u"after 17 s."},
        VerdictCase{"a failed logoff",
                    Log({kBlock, kStart, kWaitOutlook, kInit, kLogon, kWaitAddIn, kLogoff,
                         "07-12-26 02:03:41: KSScheduler: MAPI Logoff failed:", kUninit, kDeBlock}),
                    0, false, CheckStatus::kWarn, u"could not log off"},
        VerdictCase{"-s alone", Log({kStart, kWaitOutlook}), 0, false, CheckStatus::kOk,
                    u"with -s alone"},
        VerdictCase{"killed while waiting for Outlook", Log({kBlock, kStart, kWaitOutlook}), 0,
                    false, CheckStatus::kFail,
                    u"interrupted after \"KSScheduler: Waiting for Outlook\" at 07-12-26 02:00:00"},
        VerdictCase{"the wait for the add-in ended a minute later, in the same second",
                    Log({kBlock, kStart, kWaitOutlook, kInit, kLogon, kWaitAddIn,
                         "07-12-26 02:01:16: KSScheduler: MAPI Logoff",
                         "07-12-26 02:01:16: KSScheduler: MAPI MAPIUninitialize",
                         "07-12-26 02:01:16: De-Block Larkspan Toolbar Load"}),
                    0, false, CheckStatus::kOk, u"after 1 min 16 s."},
        VerdictCase{"no -s: an empty log", "", 0, false, CheckStatus::kOk,
                    u"The last start (07-12-26 02:00:00) was without -s"},
        VerdictCase{
            "binary junk", std::string("\r\n07-12-26 02:00:00: \0\x01\x02", 24), 0, false,
            CheckStatus::kWarn,
            u"Scheduler071226020000.log is not in the scheduler's format (it holds NUL bytes)"},
        VerdictCase{"the error entry's text inside a quoted argument is no error",
                    Log({kBlock,
                         "07-12-26 02:00:00: KSScheduler: Starting Outlook C:\\Office\\OUTLOOK.EXE "
                         "/profile \"LSScheduler Error: x\" /recycle",
                         kWaitOutlook, kInit, kLogon, kWaitAddIn, kLogoff, kUninit, kDeBlock}),
                    0, false, CheckStatus::kOk, u"ended at 07-12-26 02:03:41 after 3 min 41 s."},
        VerdictCase{"a stamp without its blank begins no entry",
                    Log({kStart, kWaitOutlook, "07-12-26 02:00:01:LSScheduler Error: x"}), 0, false,
                    CheckStatus::kOk,
                    u"ended after \"KSScheduler: Waiting for Outlook 07-12-26 02:00:01:LSScheduler "
                    u"Error: x\""},
        VerdictCase{"a first line whose stamp lacks its blank",
                    "\r\n07-12-26 02:00:00:Block Larkspan Toolbar Load", 0, false,
                    CheckStatus::kWarn, u"(its first line has no time stamp)"},
        VerdictCase{"no line break first", "07-12-26 02:00:00: Block Larkspan Toolbar Load", 0,
                    false, CheckStatus::kWarn, u"(it does not begin with a line break)"},
        VerdictCase{"a first line without a stamp", "\r\nhello\r\n" + kBlock, 0, false,
                    CheckStatus::kWarn, u"(its first line has no time stamp)"},
        VerdictCase{"the tail of a huge log",
                    kHugeJunk.substr(0, kLogTailBytes - 200) + Log({kStart, kWaitOutlook}),
                    50u << 20, false, CheckStatus::kOk, u"with -s alone"},
        VerdictCase{"a tail that begins inside an entry of several lines",
                    "cut short\r\nthe rest of a long message" + Log({kStart, kWaitOutlook}),
                    50u << 20, false, CheckStatus::kOk, u"with -s alone"},
        VerdictCase{"a huge file without entries", kHugeJunk.substr(0, kLogTailBytes), 50u << 20,
                    false, CheckStatus::kWarn, u"(no entry in its last 64 KiB)"}),
    CaseIndex);

// Newest first by the time in the name, which does not sort as text.
TEST(RunLogOrder, FollowsTheTimeInTheNames) {
  const auto names = [](const std::vector<std::u16string>& listed) {
    std::vector<CheckQueries::Listed> files;
    for (const std::u16string& name : listed) files.push_back({name, 1});
    std::vector<std::u16string> ordered;
    for (const RunLogFile& log : RunLogsNewestFirst(files)) ordered.push_back(log.name);
    return ordered;
  };
  EXPECT_EQ(names({u"Scheduler311226235959.log", u"Scheduler010127000001.log",
                   u"Scheduler290228120000.log"}),
            (std::vector<std::u16string>{u"Scheduler290228120000.log", u"Scheduler010127000001.log",
                                         u"Scheduler311226235959.log"}));
  EXPECT_EQ(names({u"Scheduler010127000001.log", u"Scheduler.log", u"Scheduler991399000000.log",
                   u"Scheduler0101270000019.log", u"SchedulerABCDEFGHIJKL.log"}),
            (std::vector<std::u16string>{u"Scheduler010127000001.log"}));
}

struct CalendarCase {
  LocalTime from;
  LocalTime to;
  std::int64_t seconds;  // from `from` to `to`
};

class Calendar : public testing::TestWithParam<CalendarCase> {};

TEST_P(Calendar, CountsTheSecondsBetweenLocalTimes) {
  EXPECT_EQ(LinearSeconds(GetParam().to) - LinearSeconds(GetParam().from), GetParam().seconds);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Calendar,
    testing::Values(CalendarCase{{2027, 2, 28, 23, 59, 59}, {2027, 3, 1, 0, 0, 0}, 1},
                    CalendarCase{{2028, 2, 28, 23, 59, 59}, {2028, 3, 1, 0, 0, 0}, 86401},
                    CalendarCase{{2026, 12, 31, 23, 59, 59}, {2027, 1, 1, 0, 0, 0}, 1},
                    CalendarCase{{2026, 1, 31, 12, 0, 0}, {2026, 2, 1, 12, 0, 0}, 86400},
                    CalendarCase{{2100, 2, 28, 0, 0, 0}, {2100, 3, 1, 0, 0, 0}, 86400},
                    CalendarCase{{2026, 12, 7, 2, 0, 16}, {2026, 12, 7, 2, 1, 16}, 60}),
    CaseIndex);

struct FolderCase {
  const char* what;
  std::vector<std::pair<std::u16string, std::string>> files;  // in C:\Logs
  std::optional<std::int32_t> maxAgeHours;
  CheckStatus status;
  std::u16string message;
  int skipped = -1;  // the later starts without -s in the details; -1: not checked
};

class LogFolders : public testing::TestWithParam<FolderCase> {};

TEST_P(LogFolders, GiveTheVerdictOfTheNewestLog) {
  const FolderCase& c = GetParam();
  test::FakeCheckPlatform os;
  os.clock.SetLocalTime(LocalTime{2027, 1, 2, 12, 0, 1});
  os.registry.SetString(u"HKCU\\Software\\Brinmoor\\Larkspan\\Settings", u"LogDirectory",
                        u"C:\\Logs\\");
  os.disk.AddFolder(u"C:\\Logs");
  for (const auto& [name, bytes] : c.files) os.disk.AddFile(u"C:\\Logs\\" + name, bytes);
  CheckOptions options;
  options.maxAgeHours = c.maxAgeHours;
  const std::vector<CheckResult> results = RunChecks(os.bundle, options);
  const CheckResult& lastRun = results.back();
  EXPECT_EQ(lastRun.id, u"last-run") << c.what;
  EXPECT_EQ(lastRun.status, c.status) << c.what;
  EXPECT_NE(lastRun.message.find(c.message), std::u16string::npos)
      << c.what << ": " << std::string(lastRun.message.begin(), lastRun.message.end());
  EXPECT_LE(os.queries.largestTailAsked, kLogTailBytes) << c.what;
  if (c.skipped >= 0) {
    EXPECT_EQ(lastRun.details.back(),
              std::make_pair(std::u16string(u"laterStartsWithoutS"),
                             std::u16string(1, static_cast<char16_t>(u'0' + c.skipped))))
        << c.what;
  }
}

const std::string kGood = Log({"31-12-26 23:59:59: KSScheduler: Starting Outlook x",
                               "31-12-26 23:59:59: KSScheduler: Waiting for Outlook"});
const std::string kBad = Log({"01-01-27 00:00:01: LSScheduler Error: Can't find Outlook.exe"});
const std::string kKilled = Log({"01-01-27 00:00:01: Block Larkspan Toolbar Load",
                                 "01-01-27 00:00:01: KSScheduler: Starting Outlook x",
                                 "01-01-27 00:00:01: KSScheduler: Waiting for Outlook"});
const std::string kDone = Log({"01-01-27 00:00:01: KSScheduler: MAPIInitialize",
                               "01-01-27 00:00:09: KSScheduler: MAPI MAPIUninitialize"});
// Starts without -s, after the run of 01-01-27 00:00:01.
const std::vector<std::pair<std::u16string, std::string>> kOneEmpty = {
    {u"Scheduler010127080000.log", ""}};
const std::vector<std::pair<std::u16string, std::string>> kThreeEmpty = {
    {u"Scheduler010127080000.log", ""},
    {u"Scheduler020127000000.log", ""},
    {u"Scheduler311226235959.log", kGood},  // older than the run: not counted
    {u"Scheduler020127115959.log", ""}};

std::vector<std::pair<std::u16string, std::string>> After(
    const std::string& run, std::vector<std::pair<std::u16string, std::string>> empty) {
  empty.emplace_back(u"Scheduler010127000001.log", run);
  return empty;
}

INSTANTIATE_TEST_SUITE_P(
    Table, LogFolders,
    testing::Values(
        FolderCase{"no log",
                   {{u"notes.txt", "x"}},
                   std::nullopt,
                   CheckStatus::kFail,
                   u"No log file in C:\\Logs\\"},
        FolderCase{"the newest across the new year",
                   {{u"Scheduler311226235959.log", kGood}, {u"Scheduler010127000001.log", kBad}},
                   std::nullopt,
                   CheckStatus::kFail,
                   u"Can't find Outlook.exe"},
        FolderCase{"the older one is not judged",
                   {{u"Scheduler311226235959.log", kBad}, {u"Scheduler010127000001.log", kGood}},
                   std::nullopt,
                   CheckStatus::kOk,
                   u"with -s alone"},
        FolderCase{"recent enough",
                   {{u"Scheduler010127000001.log", kGood}},
                   37,
                   CheckStatus::kOk,
                   u"with -s alone"},
        FolderCase{"just old enough",
                   {{u"Scheduler010127000001.log", kGood}},
                   36,
                   CheckStatus::kOk,
                   u"with -s alone"},
        FolderCase{"stale",
                   {{u"Scheduler010127000001.log", kGood}},
                   35,
                   CheckStatus::kFail,
                   u"No run since 01-01-27 00:00:01 (36 h ago; the limit is 35 h): The last run"},
        FolderCase{"a failed run", After(kBad, {}), std::nullopt, CheckStatus::kFail,
                   u"logged an error: LSScheduler Error: Can't find Outlook.exe", 0},
        FolderCase{"a failed run, then a start without -s", After(kBad, kOneEmpty), std::nullopt,
                   CheckStatus::kFail, u"Can't find Outlook.exe (and 1 later start without -s)", 1},
        FolderCase{"a failed run, then three starts without -s", After(kBad, kThreeEmpty),
                   std::nullopt, CheckStatus::kFail,
                   u"Can't find Outlook.exe (and 3 later starts without -s)", 3},
        FolderCase{"an interrupted run", After(kKilled, {}), std::nullopt, CheckStatus::kFail,
                   u"The run of 01-01-27 00:00:01 was interrupted", 0},
        FolderCase{"an interrupted run, then a start without -s", After(kKilled, kOneEmpty),
                   std::nullopt, CheckStatus::kFail,
                   u"was interrupted after \"KSScheduler: Waiting for Outlook\"", 1},
        FolderCase{"an interrupted run, then three starts without -s", After(kKilled, kThreeEmpty),
                   std::nullopt, CheckStatus::kFail, u"shut down). (and 3 later starts without -s)",
                   3},
        FolderCase{"a good run", After(kDone, {}), std::nullopt, CheckStatus::kOk,
                   u"ended at 01-01-27 00:00:09 after 8 s.", 0},
        FolderCase{"a good run, then a start without -s", After(kDone, kOneEmpty), std::nullopt,
                   CheckStatus::kOk, u"after 8 s. (and 1 later start without -s)", 1},
        FolderCase{"a good run, then three starts without -s", After(kDone, kThreeEmpty),
                   std::nullopt, CheckStatus::kOk, u"after 8 s. (and 3 later starts without -s)",
                   3},
        FolderCase{"a good run, three starts without -s and too long ago",
                   After(kDone, kThreeEmpty), 35, CheckStatus::kFail,
                   u"No run since 01-01-27 00:00:01 (36 h ago; the limit is 35 h): The run", 3},
        FolderCase{
            "only starts without -s",
            {{u"Scheduler010127080000.log", ""}, {u"Scheduler020127000000.log", ""}},
            std::nullopt,
            CheckStatus::kWarn,
            u"No log in C:\\Logs\\ holds a scheduled run: the 2 starts logged there were all "
            u"without -s."},
        FolderCase{"a 50 MB log",
                   {{u"Scheduler010127000001.log", std::string(50u << 20, '\n') + kGood}},
                   std::nullopt,
                   CheckStatus::kOk,
                   u"with -s alone"}),
    CaseIndex);

}  // namespace
}  // namespace lss
