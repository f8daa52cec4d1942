// Finding Outlook through its App Paths entry and starting it with the
// profile, /recycle and the switches passed on.
#include "common/rows.h"
#include "harness/scheduler_test.h"

namespace e2e {
namespace {

using lss::test::PrintTo;

using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

std::vector<std::string> ArgumentsOutlookGot(const std::vector<JournalEvent>& journal) {
  std::vector<std::string> arguments;
  for (const JournalEvent& event : journal) {
    if (event.who == "outlook" && event.event == "arg") arguments.push_back(event.Field("value"));
  }
  return arguments;
}

struct LaunchCase {
  const char* what;
  bool appPaths;                 // the entry, its default value the stand-in's full path
  std::optional<RegValue> path;  // its "Path"; nothing: missing
  std::vector<std::string> log;
  std::vector<std::string> outlookGot = {};  // its arguments; empty: it must not start
  const wchar_t* arguments = L"-s";
  std::uint32_t waitSeconds = 20;  // WaitSecondsForOutlookStart
  std::uint32_t stays = 1000;      // the stand-in's StayMilliseconds
};

class OutlookStart : public SchedulerTest, public ::testing::WithParamInterface<LaunchCase> {};

TEST_P(OutlookStart, UsesTheAppPathsEntryAndPassesTheProfileAndSwitches) {
  // Given the stand-in in its folder, registered as the row says.
  const LaunchCase& row = GetParam();
  UseLogFolder();
  CopyStandIns();
  if (row.appPaths) {
    SetValue(HKEY_LOCAL_MACHINE, kAppPathsKey, L"",
             RegValue::Sz(std::wstring(kOutlookFolder) + L"OUTLOOK.EXE"));
  }
  if (row.path) SetValue(HKEY_LOCAL_MACHINE, kAppPathsKey, L"Path", *row.path);
  ConfigureStandIn({{L"StayMilliseconds", Dword(row.stays)}});
  SetSetting(L"WaitSecondsForOutlookStart", Dword(row.waitSeconds));

  const RunResult run = RunScheduler(row.arguments);

  EXPECT_THAT(Texts(TheLog()), ElementsAreArray(row.log));
  if (row.outlookGot.empty()) {
    EXPECT_THAT(ReadJournal(JournalPath()), IsEmpty()) << "Outlook was started";
    EXPECT_LT(run.elapsed, 15s) << "the run waited for an Outlook it did not start";
    return;
  }
  const std::vector<JournalEvent> journal = WaitForOutlookExit(15s);
  EXPECT_GE(run.elapsed, std::chrono::seconds(row.waitSeconds))
      << "the program ended before WaitSecondsForOutlookStart had passed";
  EXPECT_THAT(ArgumentsOutlookGot(journal), ElementsAreArray(row.outlookGot));
  // Without -e nothing of MAPI happens, and Outlook stays until it gives up.
  EXPECT_THAT(Describe(journal, "mapi"), IsEmpty());
  EXPECT_EQ(FindEvent(journal, "outlook", "exit").Field("reason"), "timeout");
}

std::vector<LaunchCase> LaunchRows() {
  const std::string starting = std::string("KSScheduler: Starting Outlook ") + kOutlookExe;
  const RegValue folder = RegValue::Sz(kOutlookFolder);
  return {
      {.what = "no App Paths entry", .appPaths = false, .path = std::nullopt, .log = {kNotFound}},
      {.what = "\"Path\" of type REG_EXPAND_SZ",
       .appPaths = true,
       .path = RegValue::ExpandSz(kOutlookFolder),
       .log = {kNotFound}},
      {.what = "\"Path\" missing, only the default value",
       .appPaths = true,
       .path = std::nullopt,
       .log = {kNotFound}},
      // ShellExecuteW gives 2 for a missing file under Wine, as on Windows.
      {.what = "\"Path\" without a trailing backslash names a file that does not exist",
       .appPaths = true,
       .path = RegValue::Sz(L"C:\\Program Files\\Olsim"),
       .log = {"KSScheduler: Starting Outlook C:\\Program Files\\OlsimOUTLOOK.EXE /recycle",
               "LSScheduler Error start Outlook: C:\\Program Files\\OlsimOUTLOOK.EXE "
               "/recycle, error:The specified file was not found."}},
      {.what = "the profile, /recycle and the switches passed on",
       .appPaths = true,
       .path = folder,
       .log = {starting + " /profile Work /recycle /x", "KSScheduler: Waiting for Outlook"},
       .outlookGot = {"/profile", "Work", "/recycle", "/x"},
       .arguments = L"-s -p Work -x",
       .waitSeconds = 2,
       .stays = 2500},
      {.what = "a profile with a blank reaches Outlook as one argument",
       .appPaths = true,
       .path = folder,
       .log = {starting + " /profile \"My Work\" /recycle", "KSScheduler: Waiting for Outlook"},
       .outlookGot = {"/profile", "My Work", "/recycle"},
       .arguments = L"-s -p \"My Work\"",
       .waitSeconds = 1},
  };
}

INSTANTIATE_TEST_SUITE_P(, OutlookStart, ::testing::ValuesIn(LaunchRows()), lss::test::RowName);

}  // namespace
}  // namespace e2e
