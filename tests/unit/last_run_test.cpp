#include "check/last_run.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "check/check_tool.h"
#include "check_test_helpers.h"
#include "diag/time_stamp.h"
#include "fake/fake_check_platform.h"

namespace lss::test {
namespace {

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
  CheckStatus status;
  std::u16string message;  // a part of the verdict's message
  std::uint64_t size = 0;  // of the whole file; 0: the bytes are all of it
  bool running = false;    // LSScheduler.exe is running now
};

class Verdicts : public testing::TestWithParam<VerdictCase> {};

TEST_P(Verdicts, FollowFromTheLog) {
  const VerdictCase& c = GetParam();
  const CheckResult result =
      JudgeRunLog({u"C:\\Logs\\Scheduler071226020000.log", LocalTime{2026, 12, 7, 2, 0, 0}, c.bytes,
                   c.size != 0 ? c.size : c.bytes.size(), c.running});
  EXPECT_EQ(result.id, u"last-run");
  EXPECT_EQ(result.status, c.status);
  EXPECT_NE(result.message.find(c.message), std::u16string::npos) << Narrow(result.message);
}

const std::string kHugeJunk(3 * kLogTailBytes, 'x');
// A run up to the wait for the add-in.
const std::string kUntilAddIn = Log({kBlock, kStart, kWaitOutlook, kInit, kLogon, kWaitAddIn});

// The end of a session and of the run at `stamp`.
std::string EndedAt(const std::string& stamp) {
  return Log({stamp + ": KSScheduler: MAPI Logoff", stamp + ": KSScheduler: MAPI MAPIUninitialize",
              stamp + ": De-Block Larkspan Toolbar Load"});
}

const VerdictCase kVerdicts[] = {
    {"complete run", kUntilAddIn + Log({kLogoff, kUninit, kDeBlock}), kOk,
     u"The run of 07-12-26 02:00:00 ended at 07-12-26 02:03:41 after 3 min 41 s."},
    {"complete run without a block (BlockToolbarLoad was 1)",
     Log({kStart, kWaitOutlook, kInit, kLogon, kWaitAddIn, kLogoff, kUninit}), kOk,
     u"ended at 07-12-26 02:03:41"},
    {"refused logon",
     Log({kBlock, kStart, kWaitOutlook, kInit, kLogon,
          "07-12-26 02:00:15: LSScheduler Error: Code = 80040111,Meaning = x,Source = "
          "(null),Description = (null)",
          "07-12-26 02:00:15: De-Block Larkspan Toolbar Load"}),
     kFail,
     u"logged an error: LSScheduler Error: Code = 80040111,Meaning = x,Source = (null),Description "
     u"= (null)"},
    {"a launch error of several lines, quoted on one",
     Log({kStart,
          "07-12-26 02:00:00: LSScheduler Error start Outlook: C:\\x, error:The operating system "
          "denied",
          "access to the specified file."}),
     kFail, u"error:The operating system denied access to the specified file."},
    {"many errors: three are quoted",
     Log({"07-12-26 02:00:00: LSScheduler Error: 1", "07-12-26 02:00:00: LSScheduler Error: 2",
          "07-12-26 02:00:00: LSScheduler Error: 3", "07-12-26 02:00:00: LSScheduler Error: 4",
          "07-12-26 02:00:00: LSScheduler Error: 5"}),
     kFail, u"Error: 2 | LSScheduler Error: 3 | and 2 more"},
    {"an entry cut into chunks is quoted whole",
     Log({"07-12-26 02:00:00: LSScheduler Error: " + std::string(162, 'a'), std::string(30, 'b')}),
     kFail, u"aaaaabbbbb"},
    {"interrupted while waiting for the add-in", kUntilAddIn, kFail,
     u"was interrupted after \"KSScheduler: Waiting for Larkspan\" at 07-12-26 02:00:16"},
    {"still running", kUntilAddIn, kOk, u"A run is going on now (started 07-12-26 02:00:00", 0,
     true},
    {"interrupted in the session, no block", Log({kStart, kWaitOutlook, kInit, kLogon}), kFail,
     u"interrupted after \"KSScheduler: MAPILogonEx\""},
    {"the wait for the add-in ended in its second", kUntilAddIn + EndedAt("07-12-26 02:00:16"),
     kWarn, u"in the second it began (07-12-26 02:00:16)"},
    {"the wait for the add-in ended a second later", kUntilAddIn + EndedAt("07-12-26 02:00:17"),
     kOk, u"after 17 s."},
    {"a failed logoff",
     kUntilAddIn +
         Log({kLogoff, "07-12-26 02:03:41: KSScheduler: MAPI Logoff failed:", kUninit, kDeBlock}),
     kWarn, u"could not log off"},
    {"killed while waiting for Outlook", Log({kBlock, kStart, kWaitOutlook}), kFail,
     u"interrupted after \"KSScheduler: Waiting for Outlook\" at 07-12-26 02:00:00"},
    {"the wait for the add-in ended a minute later, in the same second",
     kUntilAddIn + EndedAt("07-12-26 02:01:16"), kOk, u"after 1 min 16 s."},
    {"no -s: an empty log", "", kOk, u"The last start (07-12-26 02:00:00) was without -s"},
    {"binary junk", std::string("\r\n07-12-26 02:00:00: \0\x01\x02", 24), kWarn,
     u"Scheduler071226020000.log is not in the scheduler's format (it holds NUL bytes)"},
    {"the error entry's text inside a quoted argument is no error",
     Log({kBlock,
          "07-12-26 02:00:00: KSScheduler: Starting Outlook C:\\Office\\OUTLOOK.EXE /profile "
          "\"LSScheduler Error: x\" /recycle",
          kWaitOutlook, kInit, kLogon, kWaitAddIn, kLogoff, kUninit, kDeBlock}),
     kOk, u"ended at 07-12-26 02:03:41 after 3 min 41 s."},
    {"a stamp without its blank begins no entry",
     Log({kStart, kWaitOutlook, "07-12-26 02:00:01:LSScheduler Error: x"}), kOk,
     u"ended after \"KSScheduler: Waiting for Outlook 07-12-26 02:00:01:LSScheduler Error: x\""},
    {"a first line whose stamp lacks its blank",
     "\r\n07-12-26 02:00:00:Block Larkspan Toolbar Load", kWarn,
     u"(its first line has no time stamp)"},
    {"no line break first", "07-12-26 02:00:00: Block Larkspan Toolbar Load", kWarn,
     u"(it does not begin with a line break)"},
    {"a first line without a stamp", "\r\nhello\r\n" + kBlock, kWarn,
     u"(its first line has no time stamp)"},
    {"the tail of a huge log",
     kHugeJunk.substr(0, kLogTailBytes - 200) + Log({kStart, kWaitOutlook}), kOk, u"with -s alone",
     50u << 20},
    {"a tail that begins inside an entry of several lines",
     "cut short\r\nthe rest of a long message" + Log({kStart, kWaitOutlook}), kOk, u"with -s alone",
     50u << 20},
    {"a huge file without entries", kHugeJunk.substr(0, kLogTailBytes), kWarn,
     u"(no entry in its last 64 KiB)", 50u << 20},
};

INSTANTIATE_TEST_SUITE_P(Table, Verdicts, testing::ValuesIn(kVerdicts), CaseName);

// The listing gives folders too; a folder named like a newer log is no log.
TEST(RunLogNames, LeaveOutFoldersAndOtherNames) {
  const std::vector<FileSystem::Entry> listed = {
      {.name = u"Scheduler020127000000.log", .isFolder = true},
      {.name = u"Scheduler010127000000.log", .size = 5},
      {.name = u"notes.txt", .size = 1}};
  const std::vector<RunLogFile> logs = RunLogsNewestFirst(listed);
  ASSERT_EQ(logs.size(), 1u);
  EXPECT_EQ(logs[0].name, u"Scheduler010127000000.log");
  EXPECT_EQ(logs[0].size, 5u);
}

TEST(Calendar, CountsTheSecondsBetweenLocalTimes) {
  const struct {
    LocalTime from;
    LocalTime to;
    std::int64_t seconds;  // from `from` to `to`
  } cases[] = {{{2027, 2, 28, 23, 59, 59}, {2027, 3, 1, 0, 0, 0}, 1},
               {{2028, 2, 28, 23, 59, 59}, {2028, 3, 1, 0, 0, 0}, 86401},
               {{2026, 12, 31, 23, 59, 59}, {2027, 1, 1, 0, 0, 0}, 1},
               {{2026, 1, 31, 12, 0, 0}, {2026, 2, 1, 12, 0, 0}, 86400},
               {{2100, 2, 28, 0, 0, 0}, {2100, 3, 1, 0, 0, 0}, 86400},
               {{2026, 12, 7, 2, 0, 16}, {2026, 12, 7, 2, 1, 16}, 60}};
  for (const auto& c : cases) {
    EXPECT_EQ(LinearSeconds(c.to) - LinearSeconds(c.from), c.seconds) << "row " << &c - cases;
  }
}

using Files = std::vector<std::pair<std::u16string, std::string>>;  // in C:\Logs

struct FolderCase {
  const char* what;
  Files files;
  CheckStatus status;
  std::u16string message;
  const char16_t* skipped = nullptr;  // the later starts without -s in the details, if checked
  std::optional<std::int32_t> maxAgeHours = std::nullopt;
  bool whole = false;  // `message` is all of it
  int zoneMinutes = 0;  // local time is UTC plus these
};

class LogFolders : public testing::TestWithParam<FolderCase> {};

TEST_P(LogFolders, GiveTheVerdictOfTheNewestLog) {
  const FolderCase& c = GetParam();
  FakeCheckPlatform os;
  os.clock.SetZoneOffset(c.zoneMinutes);
  os.clock.SetLocalTime(LocalTime{2027, 1, 2, 12, 0, 1});
  os.registry.SetString(kSettings, u"LogDirectory", u"C:\\Logs\\");
  os.disk.AddFolder(u"C:\\Logs");
  for (const auto& [name, bytes] : c.files) os.disk.AddFile(u"C:\\Logs\\" + name, bytes);
  CheckOptions options;
  options.maxAgeHours = c.maxAgeHours;
  const std::vector<CheckResult> results = RunChecks(os.bundle, options).results;
  const CheckResult& lastRun = results.back();
  EXPECT_EQ(lastRun.id, u"last-run");
  EXPECT_EQ(lastRun.status, c.status);
  EXPECT_NE(lastRun.message.find(c.message), std::u16string::npos) << Narrow(lastRun.message);
  if (c.whole) EXPECT_EQ(lastRun.message, c.message);
  EXPECT_LE(os.files.largestTailAsked(), kLogTailBytes);
  if (c.skipped) {
    EXPECT_EQ(lastRun.details.back(),
              std::make_pair(std::u16string(u"laterStartsWithoutS"), std::u16string(c.skipped)));
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
const Files kOneEmpty = {{u"Scheduler010127080000.log", ""}};
const Files kTwoEmpty = {{u"Scheduler010127080000.log", ""}, {u"Scheduler020127000000.log", ""}};
const Files kThreeEmpty = {
    {u"Scheduler010127080000.log", ""},
    {u"Scheduler020127000000.log", ""},
    {u"Scheduler311226235959.log", kGood},  // older than the run: not counted
    {u"Scheduler020127115959.log", ""}};

// The `others`, then the log of 01-01-27 00:00:01 holding `run`.
Files After(const std::string& run, Files others = {}) {
  others.emplace_back(u"Scheduler010127000001.log", run);
  return others;
}

const FolderCase kFolders[] = {
    {"no log", Files(1, {u"notes.txt", "x"}), kFail, u"No log file in C:\\Logs\\"},
    {"the older one is not judged", After(kGood, {{u"Scheduler311226235959.log", kBad}}), kOk,
     u"with -s alone"},
    {"the newest by the time in the name, which does not sort as text",
     After(kBad, {{u"Scheduler020127080000.log", ""}, {u"Scheduler311226235959.log", kGood}}),
     kFail, u"Can't find Outlook.exe (and 1 later start without -s)", u"1"},
    {"names without a time are passed over",
     After(kGood, {{u"Scheduler.log", kBad},
                   {u"Scheduler991399000000.log", kBad},
                   {u"Scheduler0101270000019.log", kBad},
                   {u"SchedulerABCDEFGHIJKL.log", kBad}}),
     kOk, u"with -s alone", u"0"},
    {"just old enough", After(kGood), kOk, u"with -s alone", nullptr, 36},
    {"stale", After(kGood), kFail,
     u"No run since 01-01-27 00:00:01 (36 h ago; the limit is 35 h): The last run", nullptr, 35},
    {"a failed run", After(kBad), kFail,
     u"logged an error: LSScheduler Error: Can't find Outlook.exe", u"0"},
    {"a failed run, then a start without -s", After(kBad, kOneEmpty), kFail,
     u"Can't find Outlook.exe (and 1 later start without -s)", u"1"},
    {"an interrupted run", After(kKilled), kFail, u"The run of 01-01-27 00:00:01 was interrupted",
     u"0"},
    {"a good run", After(kDone), kOk, u"ended at 01-01-27 00:00:09 after 8 s.", u"0"},
    {"a good run, then three starts without -s", After(kDone, kThreeEmpty), kOk,
     u"after 8 s. (and 3 later starts without -s)", u"3"},
    {"a good run, three starts without -s and too long ago", After(kDone, kThreeEmpty), kFail,
     u"No run since 01-01-27 00:00:01 (36 h ago; the limit is 35 h): The run", u"3", 35},
    {"only starts without -s", kTwoEmpty, kWarn,
     u"No log in C:\\Logs\\ holds a scheduled run: the 2 starts logged there were all without -s."},
    {"a 50 MB log", After(std::string(50u << 20, '\n') + kGood), kOk, u"with -s alone"},
    // Now is 02-01-27 12:00:01.
    {"a log named a day and a second ahead is left out and named",
     After(kDone, {{u"Scheduler030127120002.log", kBad}}), kWarn,
     u"The run of 01-01-27 00:00:01 ended at 01-01-27 00:00:09 after 8 s. The log "
     u"C:\\Logs\\Scheduler030127120002.log is named for a time after now (03-01-2027 12:00:02): "
     u"the clock was wrong when it was written, or is wrong now.",
     u"0", std::nullopt, true},
    {"a day and a second ahead of local time, ten hours behind UTC",
     After(kDone, {{u"Scheduler030127120002.log", kBad}}), kWarn,
     u"Scheduler030127120002.log is named for a time after now", u"0", std::nullopt, false, -600},
    {"a log named exactly a day ahead is the last run",
     After(kDone, {{u"Scheduler030127120001.log", kBad}}), kFail,
     u"The run of 01-01-27 00:00:01 logged an error: LSScheduler Error: Can't find Outlook.exe",
     u"0", std::nullopt, true},
    {"a log named in 2099 beside a failed run: the failure stands",
     After(kBad, {{u"Scheduler010199000000.log", kDone}}), kFail,
     u"Can't find Outlook.exe The log C:\\Logs\\Scheduler010199000000.log is named for a time "
     u"after now (01-01-2099 00:00:00): the clock was wrong",
     u"0"},
    {"logs named in 2099 and 2070 and an empty one ahead: the newest named, none counted",
     After(kDone, {{u"Scheduler010199000000.log", kBad},
                   {u"Scheduler311270235959.log", kBad},
                   {u"Scheduler040127000000.log", ""}}),
     kWarn,
     u"after 8 s. The log C:\\Logs\\Scheduler010199000000.log is named for a time after now "
     u"(01-01-2099 00:00:00): the clock was wrong when it was written, or is wrong now. (and 2 "
     u"more logs named after now)",
     u"0"},
    {"a log named in 2099 beside one more ahead",
     After(kDone, {{u"Scheduler010199000000.log", kBad}, {u"Scheduler311270235959.log", ""}}),
     kWarn, u"or is wrong now. (and 1 more log named after now)", u"0"},
    {"a log named in 2099 and a stale run",
     After(kDone, {{u"Scheduler010199000000.log", kBad}}), kFail,
     u"No run since 01-01-27 00:00:01 (36 h ago; the limit is 35 h): The run of 01-01-27 "
     u"00:00:01 ended at 01-01-27 00:00:09 after 8 s. The log "
     u"C:\\Logs\\Scheduler010199000000.log is named for a time after now",
     u"0", 35},
    {"only a log named in 2099", {{u"Scheduler010199000000.log", kBad}}, kWarn,
     u"The log C:\\Logs\\Scheduler010199000000.log is named for a time after now (01-01-2099 "
     u"00:00:00): the clock was wrong when it was written, or is wrong now.",
     nullptr, std::nullopt, true},
    {"a log named in 2099 and a start without -s",
     {{u"Scheduler010199000000.log", kBad}, {u"Scheduler010127080000.log", ""}}, kWarn,
     u"the 1 starts logged there were all without -s. Check the scheduled task and its -s "
     u"option. The log C:\\Logs\\Scheduler010199000000.log is named"},
};

INSTANTIATE_TEST_SUITE_P(Table, LogFolders, testing::ValuesIn(kFolders), CaseName);

}  // namespace
}  // namespace lss::test
