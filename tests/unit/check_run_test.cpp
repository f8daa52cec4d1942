#include "check/check_run.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "check_test_helpers.h"
#include "common/rows.h"
#include "fake/fake_check_platform.h"

namespace lss::test {
namespace {

// Its own namespace, so that a failure prints the row by rows.h alone.
namespace findings {

// What a run of the checks hands the event, the JSON and the bundle, typed.
struct FindingsRow {
  const char* what;
  std::vector<std::u16string> only;  // empty: every check
  std::function<void(FakeCheckPlatform&)> change = [](FakeCheckPlatform&) {};
  std::optional<std::u16string> outlookPath;
  std::optional<std::u16string> mailClient;
  std::optional<std::u16string> mapiLibrary;
  std::optional<std::u16string> logFolder;
  std::u16string taskName;
  bool taskXml = false;  // the reading holds the task's definition
  JudgedRun lastRun;
};
using lss::test::PrintTo;

}  // namespace findings

using findings::FindingsRow;

class CheckRunFindings : public testing::TestWithParam<FindingsRow> {};

TEST_P(CheckRunFindings, AreHandedBackTyped) {
  const FindingsRow& row = GetParam();
  FakeCheckPlatform os;
  SetUpGoodMachine(os);
  row.change(os);
  CheckOptions options;
  options.only = row.only;
  const CheckRun run = RunChecks(os.bundle, options);
  EXPECT_EQ(run.results.size(), row.only.empty() ? CheckIds().size() : row.only.size());
  EXPECT_EQ(run.outlookPath, row.outlookPath);
  EXPECT_EQ(run.mailClient, row.mailClient);
  EXPECT_EQ(run.mapiLibrary, row.mapiLibrary);
  EXPECT_EQ(run.logFolder, row.logFolder);
  EXPECT_EQ(run.task.name, row.taskName);
  EXPECT_EQ(!run.task.info.xml.empty(), row.taskXml);
  EXPECT_EQ(run.lastRun.file, row.lastRun.file);
  EXPECT_EQ(run.lastRun.start, row.lastRun.start);
  EXPECT_EQ(run.lastRun.end, row.lastRun.end);
  EXPECT_EQ(run.lastRun.startWithOffset, row.lastRun.startWithOffset);
  EXPECT_EQ(run.lastRun.endWithOffset, row.lastRun.endWithOffset);
  EXPECT_EQ(run.lastRun.errorCode, row.lastRun.errorCode);
  // The task is read once, for both checks that judge it, and for the bundle.
  EXPECT_EQ(os.tasks.reads.size(), row.taskName.empty() ? 0U : 1U);
}

const JudgedRun kGoodRun{.file = u"C:\\Logs\\Scheduler071226020000.log",
                         .start = u"2026-12-07T02:00:00",
                         .end = u"2026-12-07T02:03:41",
                         .startWithOffset = u"2026-12-07T02:00:00+00:00",
                         .endWithOffset = u"2026-12-07T02:03:41+00:00"};

void AddTaskXml(FakeCheckPlatform& os) {
  TaskInfo task = GoodTask();
  task.xml = u"<Task/>";
  os.tasks.Add(u"Larkspan Nightly", task);
}

const FindingsRow kRows[] = {
    {.what = "every check finds every fact",
     .change = AddTaskXml,
     .outlookPath = u"C:\\Office\\OUTLOOK.EXE",
     .mailClient = u"Microsoft Outlook",
     .mapiLibrary = u"C:\\Office\\olmapi32.dll",
     .logFolder = u"C:\\Logs",
     .taskName = u"Larkspan Nightly",
     .taskXml = true,
     .lastRun = kGoodRun},
    {.what = "a check that finds nothing needed reads nothing", .only = {u"toolbar"}},
    {.what = "the last run alone reads the task and the log only",
     .only = {u"last-run"},
     .taskName = u"Larkspan Nightly",
     .lastRun = kGoodRun},
    {.what = "the task alone judges no run", .only = {u"task"}, .taskName = u"Larkspan Nightly"},
    {.what = "a missing OUTLOOK.EXE is still named",
     .only = {u"outlook"},
     .change = [](auto& os) { os.files.RemoveFile(u"C:\\Office\\OUTLOOK.EXE"); },
     .outlookPath = u"C:\\Office\\OUTLOOK.EXE"},
    {.what = "no App Paths entry names no Outlook",
     .only = {u"outlook"},
     .change = [](auto& os) { os.registry.DeleteKey(kAppPaths); }},
    {.what = "a mail client without DLLPathEx has no library",
     .only = {u"mapi"},
     .change =
         [](auto& os) { SetMachineText(os, k64Bit, kOutlookClient, u"DLLPathEx", std::nullopt); },
     .mailClient = u"Microsoft Outlook"},
    {.what = "a library named with a variable stays unexpanded",
     .only = {u"mapi"},
     .change =
         [](auto& os) {
           SetMachineText(os, k64Bit, kOutlookClient, u"DLLPathEx", u"%ProgramFiles%\\m.dll");
         },
     .mailClient = u"Microsoft Outlook",
     .mapiLibrary = u"%ProgramFiles%\\m.dll"},
    {.what = "no default mail client",
     .only = {u"mapi"},
     .change = [](auto& os) { SetMachineText(os, k64Bit, kMail, u"", std::nullopt); }},
    {.what = "a log folder with variables as a run expands it",
     .only = {u"log-folder"},
     .change =
         [](auto& os) {
           os.registry.Set(kSettings, u"LogDirectory", reg::kExpandSz,
                           Utf16(u"%ProgramFiles%\\Logs"));
         },
     .logFolder = u"C:\\Program Files\\Logs"},
    {.what = "no log folder set",
     .only = {u"log-folder", u"last-run"},
     .change = [](auto& os) { os.registry.DeleteValue(kSettings, u"LogDirectory"); },
     .taskName = u"Larkspan Nightly"},
    {.what = "a newest log that is not a log is named without times",
     .only = {u"last-run"},
     .change = [](auto& os) { os.disk.AddFile(u"C:\\Logs\\Scheduler081226020000.log", "x"); },
     .taskName = u"Larkspan Nightly",
     .lastRun = {.file = u"C:\\Logs\\Scheduler081226020000.log"}},
    {.what = "the first error code of the run, in upper case",
     .only = {u"last-run"},
     .change =
         [](auto& os) {
           os.disk.AddFile(u"C:\\Logs\\Scheduler081226020000.log",
                           "\r\n08-12-26 02:00:00: LSScheduler Error: Code = 8004010f,Meaning = x"
                           "\r\n08-12-26 02:00:02: LSScheduler Error: Code = 80004005,Meaning = y");
           os.clock.SetZoneOffset(60);
         },
     .taskName = u"Larkspan Nightly",
     .lastRun = {.file = u"C:\\Logs\\Scheduler081226020000.log",
                 .start = u"2026-12-08T02:00:00",
                 .end = u"2026-12-08T02:00:02",
                 .startWithOffset = u"2026-12-08T02:00:00+01:00",
                 .endWithOffset = u"2026-12-08T02:00:02+01:00",
                 .errorCode = u"0x8004010F"}},
    {.what = "a task that cannot be read is named, without a definition",
     .only = {u"task"},
     .change = [](auto& os) { os.tasks.failure = task_result::kNotFound; },
     .taskName = u"Larkspan Nightly"},
};

INSTANTIATE_TEST_SUITE_P(, CheckRunFindings, testing::ValuesIn(kRows), lss::test::RowName);

}  // namespace
}  // namespace lss::test
