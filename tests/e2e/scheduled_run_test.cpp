// A whole scheduled run against the stand-in Outlook, add-in and MAPI
// provider, and each fault the stand-ins can inject.
#include <windows.h>

#include <algorithm>
#include <string_view>

#include "common/rows.h"
#include "handles/win32_handles.h"
#include "harness/scheduler_test.h"

namespace e2e {
namespace {

using lss::test::PrintTo;

using ::testing::AllOf;
using ::testing::ElementsAreArray;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::Matcher;
using ::testing::Not;
using ::testing::StartsWith;

constexpr char kWaitingForOutlook[] = "KSScheduler: Waiting for Outlook";
constexpr char kInitialize[] = "KSScheduler: MAPIInitialize";
constexpr char kRetry[] = "KSScheduler: MAPIInitialize Retry without MAPI_NO_COINIT";
constexpr char kLogon[] = "KSScheduler: MAPILogonEx";
constexpr char kWaitingForLarkspan[] = "KSScheduler: Waiting for Larkspan";
constexpr char kLogoff[] = "KSScheduler: MAPI Logoff";
constexpr char kLogoffFailed[] = "KSScheduler: MAPI Logoff failed:";
constexpr char kUninitialize[] = "KSScheduler: MAPI MAPIUninitialize";

std::string StartingOutlook(const std::string& parameters) {
  return std::string("KSScheduler: Starting Outlook ") + kOutlookExe + parameters;
}

// The COM error line of a failed MAPI call. The meaning is the system's text
// for the code, which is Wine's own; the rest is the program's.
Matcher<std::string> ComErrorLine(const std::string& code) {
  return AllOf(StartsWith("LSScheduler Error: Code = " + code + ",Meaning = "),
               Not(HasSubstr("Meaning = ,")), EndsWith(",Source = (null),Description = (null)"));
}

constexpr char kInitOk[] = "MAPIInitialize version=0 flags=8 result=0x00000000";
constexpr char kLogonOk[] =
    "MAPILogonEx uiparam=0 profile=Work password=(null) flags=0x80000028 result=0x00000000";
constexpr char kLogoffOk[] = "Logoff uiparam=0 flags=1 reserved=0 result=0x00000000";
constexpr char kMapiUninitialize[] = "MAPIUninitialize";
const Matcher<std::string> kRelease = StartsWith("Release refs=");

// 100-ns units of the journal's times.
constexpr std::int64_t kMillisecond = 10'000;

struct RunCase {
  const char* what;
  const wchar_t* arguments;
  std::vector<std::pair<std::wstring, RegValue>> standIn;  // HKCU\Software\Olsim
  std::vector<Matcher<std::string>> log;
  std::vector<Matcher<std::string>> mapi;  // the provider's journal
  const char* outlookEnds;                 // its exit reason
  const char* mutexLetGo = nullptr;        // the add-in's event the logoff must follow, if any
  // What the add-in found, if compared (with mutexLetGo, which the logoff then follows at once).
  const char* handoff = nullptr;
  bool nameTakenByAnEvent = false;  // "LSSyncMutex" names an event for the whole run
};

std::vector<RunCase> RunRows() {
  const std::string start = StartingOutlook(" /profile Work /recycle");
  const auto stays = [](std::uint32_t ms) {
    return std::pair<std::wstring, RegValue>{L"StayMilliseconds", Dword(ms)};
  };
  return {
      {.what =
           "the add-in synchronizes for 2 s: the run waits for it and logs off so Outlook exits",
       .arguments = L"-s -e -p Work -n Nightly",
       .standIn = {{L"SyncMilliseconds", Dword(2000)}, stays(30000)},
       .log = {kBlock, start, kWaitingForOutlook, kInitialize, kLogon, kWaitingForLarkspan, kLogoff,
               kUninitialize, kDeBlock},
       .mapi = {kInitOk, kLogonOk, kLogoffOk, kRelease, kMapiUninitialize},
       .outlookEnds = "logoff",
       .mutexLetGo = "mutex-released",
       .handoff =
           "handoff TaskName=Nightly TaskRun=1 AutoRunExit=0 BlockToolbarLoad=1 toolbar=blocked"},
      {.what = "the first MAPIInitialize fails, the retry without MAPI_NO_COINIT succeeds",
       .arguments = L"-s -e -p Work",
       .standIn = {{L"InitResults", RegValue::Sz(L"0x80040605")}, stays(30000)},
       .log = {kBlock, start, kWaitingForOutlook, kInitialize, kRetry, kLogon, kWaitingForLarkspan,
               kLogoff, kUninitialize, kDeBlock},
       .mapi = {"MAPIInitialize version=0 flags=8 result=0x80040605",
                "MAPIInitialize version=0 flags=0 result=0x00000000", kLogonOk, kLogoffOk, kRelease,
                kMapiUninitialize},
       .outlookEnds = "logoff"},
      {.what = "both MAPIInitialize calls fail: the second one's code is reported",
       .arguments = L"-s -e -p Work",
       .standIn = {{L"InitResults", RegValue::Sz(L"0x80004005,0x80040605")}, stays(2000)},
       .log = {kBlock, start, kWaitingForOutlook, kInitialize, kRetry, ComErrorLine("80040605"),
               kDeBlock},
       .mapi = {"MAPIInitialize version=0 flags=8 result=0x80004005",
                "MAPIInitialize version=0 flags=0 result=0x80040605"},
       .outlookEnds = "timeout"},
      {.what = "MAPILogonEx fails: MAPI stays initialized",
       .arguments = L"-s -e -p Work",
       .standIn = {{L"LogonResult", Dword(0x80040111)}, stays(2000)},
       .log = {kBlock, start, kWaitingForOutlook, kInitialize, kLogon, ComErrorLine("80040111"),
               kDeBlock},
       .mapi = {kInitOk,
                "MAPILogonEx uiparam=0 profile=Work password=(null) flags=0x80000028 "
                "result=0x80040111"},
       .outlookEnds = "timeout"},
      {.what = "Logoff fails: reported without its code, and the run ends as usual",
       .arguments = L"-s -e -p Work",
       .standIn = {{L"LogoffResult", Dword(0x80004005)}, stays(30000)},
       .log = {kBlock, start, kWaitingForOutlook, kInitialize, kLogon, kWaitingForLarkspan, kLogoff,
               kLogoffFailed, kUninitialize, kDeBlock},
       .mapi = {kInitOk, kLogonOk, "Logoff uiparam=0 flags=1 reserved=0 result=0x80004005",
                kRelease, kMapiUninitialize},
       .outlookEnds = "logoff"},
      {.what =
           "the add-in's Outlook ends while holding LSSyncMutex: the abandoned mutex ends the wait",
       .arguments = L"-s -e -p Work",
       .standIn = {{L"SyncMilliseconds", Dword(2000)}, {L"AbandonMutex", Dword(1)}, stays(30000)},
       .log = {kBlock, start, kWaitingForOutlook, kInitialize, kLogon, kWaitingForLarkspan, kLogoff,
               kUninitialize, kDeBlock},
       .mapi = {kInitOk, kLogonOk, kLogoffOk, kRelease, kMapiUninitialize},
       .outlookEnds = "abandon",
       .mutexLetGo = "mutex-abandoned"},
      {.what = "the name LSSyncMutex belongs to an event: the mutex cannot be created",
       .arguments = L"-s -e -p Work",
       .standIn = {stays(2000)},
       .log = {kBlock, start, kWaitingForOutlook, kInitialize, kLogon,
               "LSScheduler Error: Code = 8000ffff, Description = A required resource was "
               "unavailable.",
               kDeBlock},
       // Released without a logoff, MAPI left initialized.
       .mapi = {kInitOk, kLogonOk, kRelease},
       .outlookEnds = "timeout",
       .nameTakenByAnEvent = true},
  };
}

class ScheduledRun : public SchedulerTest, public ::testing::WithParamInterface<RunCase> {};

TEST_P(ScheduledRun, LogsItsStepsCallsMapiInOrderAndLeavesNothingHeld) {
  const RunCase& row = GetParam();
  SetUpWholeRun(1, row.standIn);
  // An event that takes the mutex's name for the test's duration.
  const lss::UniqueHandle squatter(
      row.nameTakenByAnEvent ? ::CreateEventW(nullptr, TRUE, FALSE, L"LSSyncMutex") : nullptr);
  ASSERT_EQ(static_cast<bool>(squatter), row.nameTakenByAnEvent);
  // The next waiter for LSSyncMutex, holding it open across the run so that
  // what the run leaves behind stays to be seen.
  const lss::UniqueHandle nextWaiter(
      row.nameTakenByAnEvent ? nullptr : ::CreateMutexW(nullptr, FALSE, L"LSSyncMutex"));

  RunScheduler(row.arguments);
  const std::vector<JournalEvent> journal = WaitForOutlookExit(20s);

  EXPECT_THAT(Texts(TheLog()), ElementsAreArray(row.log));
  EXPECT_THAT(Describe(journal, "mapi"), ElementsAreArray(row.mapi));
  if (HasEvent(journal, "outlook", "exit")) {
    const JournalEvent& exit = FindEvent(journal, "outlook", "exit");
    EXPECT_EQ(exit.Field("reason"), row.outlookEnds);
    // A timeout says that no logoff came only if Outlook outlived the run's
    // MAPI calls.
    const auto lastCall =
        std::find_if(journal.rbegin(), journal.rend(),
                     [](const JournalEvent& event) { return event.who == "mapi"; });
    if (std::string_view(row.outlookEnds) == "timeout" && lastCall != journal.rend()) {
      EXPECT_GT(exit.time, lastCall->time)
          << "Outlook gave up before the run's " << lastCall->event;
    }
  }
  if (row.mutexLetGo != nullptr) {
    ASSERT_TRUE(HasEvent(journal, "outlook", row.mutexLetGo));
    ASSERT_TRUE(HasEvent(journal, "mapi", "Logoff"));
    const std::int64_t letGo = FindEvent(journal, "outlook", row.mutexLetGo).time;
    const std::int64_t loggedOff = FindEvent(journal, "mapi", "Logoff").time;
    // The add-in still held the mutex when the run began to wait for it.
    EXPECT_LT(FindEvent(journal, "mapi", "MAPILogonEx").time, letGo)
        << "the add-in let go before the run waited for it";
    EXPECT_GT(loggedOff, letGo) << "the logoff did not wait for the add-in";
    if (row.handoff != nullptr) {
      // The add-in found the task's name and its toolbar blocked, synchronized,
      // and the logoff followed its release at once.
      EXPECT_EQ(FindEvent(journal, "outlook", "handoff").Describe(), row.handoff);
      EXPECT_TRUE(HasEvent(journal, "outlook", "mutex-acquired"));
      EXPECT_LE(loggedOff - letGo, 100 * kMillisecond)
          << "the logoff came " << (loggedOff - letGo) / kMillisecond << " ms after the add-in's "
          << row.mutexLetGo;
    }
  }
  // The toolbar comes back whatever failed.
  EXPECT_EQ(Setting(L"BlockToolbarLoad"), Dword(0));
  EXPECT_EQ(Setting(L"BlockToolbarLoadOrg"), Dword(kMinusOne));
  // The run let go of the mutex as often as it took it: the next waiter gets
  // it as released, not abandoned.
  if (!row.nameTakenByAnEvent) {
    ASSERT_TRUE(nextWaiter);
    const DWORD wait = ::WaitForSingleObject(nextWaiter.get(), 10000);
    EXPECT_EQ(wait, static_cast<DWORD>(WAIT_OBJECT_0)) << "0x80 is WAIT_ABANDONED";
    if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) ::ReleaseMutex(nextWaiter.get());
  }
}

INSTANTIATE_TEST_SUITE_P(, ScheduledRun, ::testing::ValuesIn(RunRows()), lss::test::RowName);

}  // namespace
}  // namespace e2e
