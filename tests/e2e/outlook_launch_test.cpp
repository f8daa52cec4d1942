// Finding Outlook through its App Paths entry and starting it with the
// profile, /recycle and the switches passed on.
#include "harness/scheduler_test.h"

namespace e2e {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr char kNotFound[] = "LSScheduler Error: Can't find Outlook.exe";

std::vector<std::string> ArgumentsOutlookGot(const std::vector<JournalEvent>& journal) {
  std::vector<std::string> arguments;
  for (const JournalEvent& event : EventsOf(journal, "outlook")) {
    if (event.event == "arg") arguments.push_back(event.Field("value"));
  }
  return arguments;
}

struct NotFoundCase {
  const char* story;
  void (*registerOutlook)();
};

void PrintTo(const NotFoundCase& row, std::ostream* out) { *out << row.story; }

class OutlookNotFound : public SchedulerTest, public ::testing::WithParamInterface<NotFoundCase> {};

TEST_P(OutlookNotFound, LogsOnlyThatOutlookIsMissing) {
  // Given the stand-in in its folder, but registered as the row says, and a
  // long wait configured.
  UseLogFolder();
  CopyStandIns();
  ConfigureStandIn({{L"StayMilliseconds", Dword(1000)}});
  SetSetting(L"WaitSecondsForOutlookStart", Dword(20));
  GetParam().registerOutlook();

  const RunResult run = RunScheduler(L"-s");

  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_THAT(Texts(TheLog()), ElementsAre(kNotFound));
  EXPECT_THAT(Journal(), IsEmpty()) << "Outlook was started";
  EXPECT_LT(run.elapsed, 15s) << "the run waited for an Outlook it did not start";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, OutlookNotFound,
    ::testing::Values(
        NotFoundCase{"no App Paths entry", [] {}},
        NotFoundCase{"\"Path\" of type REG_EXPAND_SZ",
                     [] {
                       SetValue(HKEY_LOCAL_MACHINE, kAppPathsKey, L"",
                                RegValue::Sz(std::wstring(kOutlookFolder) + L"OUTLOOK.EXE"));
                       SetValue(HKEY_LOCAL_MACHINE, kAppPathsKey, L"Path",
                                RegValue::ExpandSz(kOutlookFolder));
                     }},
        NotFoundCase{"\"Path\" missing, only the default value", [] {
                       SetValue(HKEY_LOCAL_MACHINE, kAppPathsKey, L"",
                                RegValue::Sz(std::wstring(kOutlookFolder) + L"OUTLOOK.EXE"));
                     }}));

class OutlookLaunch : public SchedulerTest {
 protected:
  void SetUp() override {
    SchedulerTest::SetUp();
    UseLogFolder();
    InstallOutlook();
  }
};

TEST_F(OutlookLaunch, PathWithoutTrailingBackslashNamesAFileThatDoesNotExist) {
  SetValue(HKEY_LOCAL_MACHINE, kAppPathsKey, L"Path", RegValue::Sz(L"C:\\Program Files\\Olsim"));
  ConfigureStandIn({{L"StayMilliseconds", Dword(1000)}});
  SetSetting(L"WaitSecondsForOutlookStart", Dword(20));

  const RunResult run = RunScheduler(L"-s");

  EXPECT_EQ(run.exitCode, 0u);
  // ShellExecuteW gives 2 for a missing file under Wine, as on Windows.
  EXPECT_THAT(Texts(TheLog()),
              ElementsAre("KSScheduler: Starting Outlook C:\\Program Files\\OlsimOUTLOOK.EXE /recycle",
                          "LSScheduler Error start Outlook: C:\\Program Files\\OlsimOUTLOOK.EXE "
                          "/recycle, error:The specified file was not found."));
  EXPECT_THAT(Journal(), IsEmpty()) << "Outlook was started";
  EXPECT_LT(run.elapsed, 15s) << "the run waited after a failed start";
}

TEST_F(OutlookLaunch, StartsOutlookWithProfileRecycleAndTheSwitchesPassedOn) {
  ConfigureStandIn({{L"StayMilliseconds", Dword(3000)}});
  SetSetting(L"WaitSecondsForOutlookStart", Dword(2));

  const RunResult run = RunScheduler(L"-s -p Work -x");
  const std::vector<JournalEvent> journal = WaitForOutlookExit(15s);

  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_GE(run.elapsed, 2s) << "the program ended before WaitSecondsForOutlookStart had passed";
  EXPECT_THAT(Texts(TheLog()),
              ElementsAre(std::string("KSScheduler: Starting Outlook ") + kOutlookExe +
                              " /profile Work /recycle /x",
                          "KSScheduler: Waiting for Outlook"));
  EXPECT_THAT(ArgumentsOutlookGot(journal), ElementsAre("/profile", "Work", "/recycle", "/x"));
  // Without -e nothing of MAPI happens, and Outlook stays until it gives up.
  EXPECT_THAT(EventsOf(journal, "mapi"), IsEmpty());
  EXPECT_EQ(FindEvent(journal, "outlook", "exit").Field("reason"), "timeout");
}

TEST_F(OutlookLaunch, ProfileWithABlankReachesOutlookAsOneArgument) {
  ConfigureStandIn({{L"StayMilliseconds", Dword(1000)}});
  SetSetting(L"WaitSecondsForOutlookStart", Dword(1));

  const RunResult run = RunScheduler(L"-s -p \"My Work\"");
  const std::vector<JournalEvent> journal = WaitForOutlookExit(15s);

  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_THAT(Texts(TheLog()),
              ElementsAre(std::string("KSScheduler: Starting Outlook ") + kOutlookExe +
                              " /profile \"My Work\" /recycle",
                          "KSScheduler: Waiting for Outlook"));
  EXPECT_THAT(ArgumentsOutlookGot(journal), ElementsAre("/profile", "My Work", "/recycle"));
}

}  // namespace
}  // namespace e2e
