#include "check/last_run.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "check/check_tool.h"
#include "fake/fake_platform.h"

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
        VerdictCase{"no -s: an empty log", "", 0, false, CheckStatus::kOk,
                    u"The last start (07-12-26 02:00:00) was without -s"},
        VerdictCase{
            "binary junk", std::string("\r\n07-12-26 02:00:00: \0\x01\x02", 24), 0, false,
            CheckStatus::kWarn,
            u"Scheduler071226020000.log is not in the scheduler's format (it holds NUL bytes)"},
        VerdictCase{"no line break first", "07-12-26 02:00:00: Block Larkspan Toolbar Load", 0,
                    false, CheckStatus::kWarn, u"(it does not begin with a line break)"},
        VerdictCase{"a first line without a stamp", "\r\nhello\r\n" + kBlock, 0, false,
                    CheckStatus::kWarn, u"(its first line has no time stamp)"},
        VerdictCase{"the tail of a huge log",
                    kHugeJunk.substr(0, kLogTailBytes - 200) + Log({kStart, kWaitOutlook}),
                    50u << 20, false, CheckStatus::kOk, u"with -s alone"},
        VerdictCase{"a huge file without entries", kHugeJunk.substr(0, kLogTailBytes), 50u << 20,
                    false, CheckStatus::kWarn, u"(no entry in its last 64 KiB)"}),
    CaseIndex);

// The newest log by the time in its name, which does not sort as text.
TEST(NewestLog, IsChosenByTheTimeInItsName) {
  EXPECT_EQ(NewestRunLogName({u"Scheduler311226235959.log", u"Scheduler010127000001.log"}),
            u"Scheduler010127000001.log");
  EXPECT_EQ(NewestRunLogName({u"Scheduler010127000001.log", u"Scheduler311226235959.log",
                              u"Scheduler.log", u"Scheduler991399000000.log",
                              u"Scheduler0101270000019.log"}),
            u"Scheduler010127000001.log");
  EXPECT_EQ(NewestRunLogName(
                {u"Scheduler.log", u"SchedulerABCDEFGHIJKL.log", u"Scheduler311326000000.log"}),
            u"");
}

struct FolderCase {
  const char* what;
  std::vector<std::pair<std::u16string, std::string>> files;  // in C:\Logs
  std::optional<std::int32_t> maxAgeHours;
  CheckStatus status;
  std::u16string message;
};

class LogFolders : public testing::TestWithParam<FolderCase> {};

TEST_P(LogFolders, GiveTheVerdictOfTheNewestLog) {
  const FolderCase& c = GetParam();
  test::FakePlatform os;
  os.clock.SetLocalTime(LocalTime{2027, 1, 2, 12, 0, 1});
  os.registry.SetString(u"HKCU\\Software\\Brinmoor\\Larkspan\\Settings", u"LogDirectory",
                        u"C:\\Logs\\");
  os.files.AddFolder(u"C:\\Logs");
  for (const auto& [name, bytes] : c.files) os.files.AddFile(u"C:\\Logs\\" + name, bytes);
  CheckOptions options;
  options.maxAgeHours = c.maxAgeHours;
  const std::vector<CheckResult> results = RunAllChecks(os.bundle, options);
  const CheckResult& lastRun = results.back();
  EXPECT_EQ(lastRun.status, c.status) << c.what;
  EXPECT_NE(lastRun.message.find(c.message), std::u16string::npos)
      << c.what << ": " << std::string(lastRun.message.begin(), lastRun.message.end());
  EXPECT_LE(os.files.largestTailAsked(), kLogTailBytes) << c.what;
}

const std::string kGood = Log({"31-12-26 23:59:59: KSScheduler: Starting Outlook x",
                               "31-12-26 23:59:59: KSScheduler: Waiting for Outlook"});
const std::string kBad = Log({"01-01-27 00:00:01: LSScheduler Error: Can't find Outlook.exe"});

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
        FolderCase{"a 50 MB log",
                   {{u"Scheduler010127000001.log", std::string(50u << 20, '\n') + kGood}},
                   std::nullopt,
                   CheckStatus::kOk,
                   u"with -s alone"}),
    CaseIndex);

}  // namespace
}  // namespace lss
