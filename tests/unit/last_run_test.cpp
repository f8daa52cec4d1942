#include "check/last_run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "check/check_tool.h"
#include "check_test_helpers.h"
#include "diag/time_stamp.h"
#include "fake/fake_check_platform.h"

namespace lss::test {
namespace {

using ::testing::HasSubstr;

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
  EXPECT_THAT(Wide(result.message), HasSubstr(Wide(c.message)));
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
    {.what = "complete run",
     .bytes = kUntilAddIn + Log({kLogoff, kUninit, kDeBlock}),
     .status = kOk,
     .message = u"The run of 07-12-26 02:00:00 ended at 07-12-26 02:03:41 after 3 min 41 s."},
    {.what = "complete run without a block (BlockToolbarLoad was 1)",
     .bytes = Log({kStart, kWaitOutlook, kInit, kLogon, kWaitAddIn, kLogoff, kUninit}),
     .status = kOk,
     .message = u"ended at 07-12-26 02:03:41"},
    {.what = "refused logon",
     .bytes = Log({kBlock, kStart, kWaitOutlook, kInit, kLogon,
                   "07-12-26 02:00:15: LSScheduler Error: Code = 80040111,Meaning = x,Source = "
                   "(null),Description = (null)",
                   "07-12-26 02:00:15: De-Block Larkspan Toolbar Load"}),
     .status = kFail,
     .message = u"logged an error: LSScheduler Error: Code = 80040111,Meaning = x,Source = "
                u"(null),Description "
                u"= (null)"},
    {.what = "a launch error of several lines, quoted on one",
     .bytes = Log(
         {kStart,
          "07-12-26 02:00:00: LSScheduler Error start Outlook: C:\\x, error:The operating system "
          "denied",
          "access to the specified file."}),
     .status = kFail,
     .message = u"error:The operating system denied access to the specified file."},
    {.what = "many errors: three are quoted",
     .bytes =
         Log({"07-12-26 02:00:00: LSScheduler Error: 1", "07-12-26 02:00:00: LSScheduler Error: 2",
              "07-12-26 02:00:00: LSScheduler Error: 3", "07-12-26 02:00:00: LSScheduler Error: 4",
              "07-12-26 02:00:00: LSScheduler Error: 5"}),
     .status = kFail,
     .message = u"Error: 2 | LSScheduler Error: 3 | and 2 more"},
    {.what = "an entry cut into chunks is quoted whole",
     .bytes = Log(
         {"07-12-26 02:00:00: LSScheduler Error: " + std::string(162, 'a'), std::string(30, 'b')}),
     .status = kFail,
     .message = u"aaaaabbbbb"},
    {.what = "interrupted while waiting for the add-in",
     .bytes = kUntilAddIn,
     .status = kFail,
     .message =
         u"was interrupted after \"KSScheduler: Waiting for Larkspan\" at 07-12-26 02:00:16"},
    {.what = "still running",
     .bytes = kUntilAddIn,
     .status = kOk,
     .message = u"A run is going on now (started 07-12-26 02:00:00",
     .size = 0,
     .running = true},
    {.what = "interrupted in the session, no block",
     .bytes = Log({kStart, kWaitOutlook, kInit, kLogon}),
     .status = kFail,
     .message = u"interrupted after \"KSScheduler: MAPILogonEx\""},
    {.what = "the wait for the add-in ended in its second",
     .bytes = kUntilAddIn + EndedAt("07-12-26 02:00:16"),
     .status = kWarn,
     .message = u"in the second it began (07-12-26 02:00:16)"},
    {.what = "the wait for the add-in ended a second later",
     .bytes = kUntilAddIn + EndedAt("07-12-26 02:00:17"),
     .status = kOk,
     .message = u"after 17 s."},
    {.what = "a failed logoff",
     .bytes = kUntilAddIn + Log({kLogoff, "07-12-26 02:03:41: KSScheduler: MAPI Logoff failed:",
                                 kUninit, kDeBlock}),
     .status = kWarn,
     .message = u"could not log off"},
    {.what = "killed while waiting for Outlook",
     .bytes = Log({kBlock, kStart, kWaitOutlook}),
     .status = kFail,
     .message = u"interrupted after \"KSScheduler: Waiting for Outlook\" at 07-12-26 02:00:00"},
    {.what = "the wait for the add-in ended a minute later, in the same second",
     .bytes = kUntilAddIn + EndedAt("07-12-26 02:01:16"),
     .status = kOk,
     .message = u"after 1 min 16 s."},
    {.what = "no -s: an empty log",
     .bytes = "",
     .status = kOk,
     .message = u"The last start (07-12-26 02:00:00) was without -s"},
    {.what = "binary junk",
     .bytes = std::string("\r\n07-12-26 02:00:00: \0\x01\x02", 24),
     .status = kWarn,
     .message = u"Scheduler071226020000.log is not in the scheduler's format (it holds NUL bytes)"},
    {.what = "the error entry's text inside a quoted argument is no error",
     .bytes =
         Log({kBlock,
              "07-12-26 02:00:00: KSScheduler: Starting Outlook C:\\Office\\OUTLOOK.EXE /profile "
              "\"LSScheduler Error: x\" /recycle",
              kWaitOutlook, kInit, kLogon, kWaitAddIn, kLogoff, kUninit, kDeBlock}),
     .status = kOk,
     .message = u"ended at 07-12-26 02:03:41 after 3 min 41 s."},
    {.what = "a stamp without its blank begins no entry",
     .bytes = Log({kStart, kWaitOutlook, "07-12-26 02:00:01:LSScheduler Error: x"}),
     .status = kOk,
     .message = u"ended after \"KSScheduler: Waiting for Outlook 07-12-26 02:00:01:LSScheduler "
                u"Error: x\""},
    {.what = "a first line whose stamp lacks its blank",
     .bytes = "\r\n07-12-26 02:00:00:Block Larkspan Toolbar Load",
     .status = kWarn,
     .message = u"(its first line has no time stamp)"},
    {.what = "no line break first",
     .bytes = "07-12-26 02:00:00: Block Larkspan Toolbar Load",
     .status = kWarn,
     .message = u"(it does not begin with a line break)"},
    {.what = "a first line without a stamp",
     .bytes = "\r\nhello\r\n" + kBlock,
     .status = kWarn,
     .message = u"(its first line has no time stamp)"},
    {.what = "the tail of a huge log",
     .bytes = kHugeJunk.substr(0, kLogTailBytes - 200) + Log({kStart, kWaitOutlook}),
     .status = kOk,
     .message = u"with -s alone",
     .size = 50u << 20},
    {.what = "a tail that begins inside an entry of several lines",
     .bytes = "cut short\r\nthe rest of a long message" + Log({kStart, kWaitOutlook}),
     .status = kOk,
     .message = u"with -s alone",
     .size = 50u << 20},
    {.what = "a huge file without entries",
     .bytes = kHugeJunk.substr(0, kLogTailBytes),
     .status = kWarn,
     .message = u"(no entry in its last 64 KiB)",
     .size = 50u << 20},
};

INSTANTIATE_TEST_SUITE_P(, Verdicts, testing::ValuesIn(kVerdicts), RowName);

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

struct SpanCase {
  const char* what;
  LocalTime from;
  LocalTime to;
  std::int64_t seconds;  // from `from` to `to`
};

const SpanCase kSpans[] = {
    {.what = "the end of February in a common year",
     .from = {2027, 2, 28, 23, 59, 59},
     .to = {2027, 3, 1, 0, 0, 0},
     .seconds = 1},
    {.what = "29 February of a leap year",
     .from = {2028, 2, 28, 23, 59, 59},
     .to = {2028, 3, 1, 0, 0, 0},
     .seconds = 86401},
    {.what = "the end of a year",
     .from = {2026, 12, 31, 23, 59, 59},
     .to = {2027, 1, 1, 0, 0, 0},
     .seconds = 1},
    {.what = "the end of January",
     .from = {2026, 1, 31, 12, 0, 0},
     .to = {2026, 2, 1, 12, 0, 0},
     .seconds = 86400},
    {.what = "2100 is no leap year",
     .from = {2100, 2, 28, 0, 0, 0},
     .to = {2100, 3, 1, 0, 0, 0},
     .seconds = 86400},
    {.what = "a minute",
     .from = {2026, 12, 7, 2, 0, 16},
     .to = {2026, 12, 7, 2, 1, 16},
     .seconds = 60},
};

class Calendar : public testing::TestWithParam<SpanCase> {};

TEST_P(Calendar, CountsTheSecondsBetweenLocalTimes) {
  const SpanCase& c = GetParam();
  EXPECT_EQ(LinearSeconds(c.to) - LinearSeconds(c.from), c.seconds);
}

INSTANTIATE_TEST_SUITE_P(, Calendar, testing::ValuesIn(kSpans), RowName);

using Files = std::vector<std::pair<std::u16string, std::string>>;  // in C:\Logs

struct FolderCase {
  const char* what;
  Files files;
  CheckStatus status;
  std::u16string message;
  const char16_t* skipped = nullptr;  // the later starts without -s in the details, if checked
  std::optional<std::int32_t> maxAgeHours = std::nullopt;
  bool whole = false;   // `message` is all of it
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
  EXPECT_THAT(Wide(lastRun.message), HasSubstr(Wide(c.message)));
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
    {.what = "no log",
     .files = Files(1, {u"notes.txt", "x"}),
     .status = kFail,
     .message = u"No log file in C:\\Logs\\"},
    {.what = "the older one is not judged",
     .files = After(kGood, {{u"Scheduler311226235959.log", kBad}}),
     .status = kOk,
     .message = u"with -s alone"},
    {.what = "the newest by the time in the name, which does not sort as text",
     .files =
         After(kBad, {{u"Scheduler020127080000.log", ""}, {u"Scheduler311226235959.log", kGood}}),
     .status = kFail,
     .message = u"Can't find Outlook.exe (and 1 later start without -s)",
     .skipped = u"1"},
    {.what = "names without a time are passed over",
     .files = After(kGood, {{u"Scheduler.log", kBad},
                            {u"Scheduler991399000000.log", kBad},
                            {u"Scheduler0101270000019.log", kBad},
                            {u"SchedulerABCDEFGHIJKL.log", kBad}}),
     .status = kOk,
     .message = u"with -s alone",
     .skipped = u"0"},
    {.what = "just old enough",
     .files = After(kGood),
     .status = kOk,
     .message = u"with -s alone",
     .skipped = nullptr,
     .maxAgeHours = 36},
    {.what = "stale",
     .files = After(kGood),
     .status = kFail,
     .message = u"No run since 01-01-27 00:00:01 (36 h ago; the limit is 35 h): The last run",
     .skipped = nullptr,
     .maxAgeHours = 35},
    {.what = "a failed run",
     .files = After(kBad),
     .status = kFail,
     .message = u"logged an error: LSScheduler Error: Can't find Outlook.exe",
     .skipped = u"0"},
    {.what = "a failed run, then a start without -s",
     .files = After(kBad, kOneEmpty),
     .status = kFail,
     .message = u"Can't find Outlook.exe (and 1 later start without -s)",
     .skipped = u"1"},
    {.what = "an interrupted run",
     .files = After(kKilled),
     .status = kFail,
     .message = u"The run of 01-01-27 00:00:01 was interrupted",
     .skipped = u"0"},
    {.what = "a good run",
     .files = After(kDone),
     .status = kOk,
     .message = u"ended at 01-01-27 00:00:09 after 8 s.",
     .skipped = u"0"},
    {.what = "a good run, then three starts without -s",
     .files = After(kDone, kThreeEmpty),
     .status = kOk,
     .message = u"after 8 s. (and 3 later starts without -s)",
     .skipped = u"3"},
    {.what = "a good run, three starts without -s and too long ago",
     .files = After(kDone, kThreeEmpty),
     .status = kFail,
     .message = u"No run since 01-01-27 00:00:01 (36 h ago; the limit is 35 h): The run",
     .skipped = u"3",
     .maxAgeHours = 35},
    {.what = "only starts without -s",
     .files = kTwoEmpty,
     .status = kWarn,
     .message = u"No log in C:\\Logs\\ holds a scheduled run: the 2 starts logged there were all "
                u"without -s."},
    {.what = "a 50 MB log",
     .files = After(std::string(50u << 20, '\n') + kGood),
     .status = kOk,
     .message = u"with -s alone"},
    // Now is 02-01-27 12:00:01.
    {.what = "a log named a day and a second ahead is left out and named",
     .files = After(kDone, {{u"Scheduler030127120002.log", kBad}}),
     .status = kWarn,
     .message = u"The run of 01-01-27 00:00:01 ended at 01-01-27 00:00:09 after 8 s. The log "
                u"C:\\Logs\\Scheduler030127120002.log is named for a time after now (03-01-2027 "
                u"12:00:02): "
                u"the clock was wrong when it was written, or is wrong now.",
     .skipped = u"0",
     .maxAgeHours = std::nullopt,
     .whole = true},
    {.what = "a day and a second ahead of local time, ten hours behind UTC",
     .files = After(kDone, {{u"Scheduler030127120002.log", kBad}}),
     .status = kWarn,
     .message = u"Scheduler030127120002.log is named for a time after now",
     .skipped = u"0",
     .maxAgeHours = std::nullopt,
     .whole = false,
     .zoneMinutes = -600},
    {.what = "a log named exactly a day ahead is the last run",
     .files = After(kDone, {{u"Scheduler030127120001.log", kBad}}),
     .status = kFail,
     .message =
         u"The run of 01-01-27 00:00:01 logged an error: LSScheduler Error: Can't find Outlook.exe",
     .skipped = u"0",
     .maxAgeHours = std::nullopt,
     .whole = true},
    {.what = "a log named in 2099 beside a failed run: the failure stands",
     .files = After(kBad, {{u"Scheduler010199000000.log", kDone}}),
     .status = kFail,
     .message =
         u"Can't find Outlook.exe The log C:\\Logs\\Scheduler010199000000.log is named for a time "
         u"after now (01-01-2099 00:00:00): the clock was wrong",
     .skipped = u"0"},
    {.what = "logs named in 2099 and 2070 and an empty one ahead: the newest named, none counted",
     .files = After(kDone, {{u"Scheduler010199000000.log", kBad},
                            {u"Scheduler311270235959.log", kBad},
                            {u"Scheduler040127000000.log", ""}}),
     .status = kWarn,
     .message =
         u"after 8 s. The log C:\\Logs\\Scheduler010199000000.log is named for a time after now "
         u"(01-01-2099 00:00:00): the clock was wrong when it was written, or is wrong now. (and 2 "
         u"more logs named after now)",
     .skipped = u"0"},
    {.what = "a log named in 2099 beside one more ahead",
     .files =
         After(kDone, {{u"Scheduler010199000000.log", kBad}, {u"Scheduler311270235959.log", ""}}),
     .status = kWarn,
     .message = u"or is wrong now. (and 1 more log named after now)",
     .skipped = u"0"},
    {.what = "a log named in 2099 and a stale run",
     .files = After(kDone, {{u"Scheduler010199000000.log", kBad}}),
     .status = kFail,
     .message =
         u"No run since 01-01-27 00:00:01 (36 h ago; the limit is 35 h): The run of 01-01-27 "
         u"00:00:01 ended at 01-01-27 00:00:09 after 8 s. The log "
         u"C:\\Logs\\Scheduler010199000000.log is named for a time after now",
     .skipped = u"0",
     .maxAgeHours = 35},
    {.what = "only a log named in 2099",
     .files = {{u"Scheduler010199000000.log", kBad}},
     .status = kWarn,
     .message =
         u"The log C:\\Logs\\Scheduler010199000000.log is named for a time after now (01-01-2099 "
         u"00:00:00): the clock was wrong when it was written, or is wrong now.",
     .skipped = nullptr,
     .maxAgeHours = std::nullopt,
     .whole = true},
    {.what = "a log named in 2099 and a start without -s",
     .files = {{u"Scheduler010199000000.log", kBad}, {u"Scheduler010127080000.log", ""}},
     .status = kWarn,
     .message =
         u"the 1 starts logged there were all without -s. Check the scheduled task and its -s "
         u"option. The log C:\\Logs\\Scheduler010199000000.log is named"},
};

INSTANTIATE_TEST_SUITE_P(, LogFolders, testing::ValuesIn(kFolders), RowName);

}  // namespace
}  // namespace lss::test
