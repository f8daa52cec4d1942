#include "outlook/mapi_session.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/rows.h"
#include "diag/com_error.h"
#include "diag/exceptions.h"
#include "diag/text_format.h"
#include "fake/fake_platform.h"
#include "unit_tables.h"

namespace lss {
namespace {

using test::PrintTo;

constexpr std::u16string_view kAdmin =
    u"HKCU\\Software\\Brinmoor\\Larkspan\\Settings\\AdminOptions";

const std::string kInit = "MAPIInitialize 0 8 -> 0x00000000|";
const std::string kRetried = "MAPIInitialize 0 8 -> 0x80010106|MAPIInitialize 0 0 -> 0x00000000|";
const std::string kLogon = "MAPILogonEx 0 [Work] (null) 0x80000028|";
const std::string kMutex = "CreateMutex LSSyncMutex|";
const std::string kOwnedAtOnce = "WaitForMutex 4294967295 -> 0x00000000|";
const std::string kNotOwned = "WaitForMutex 4294967295 -> 0xffffffff|";
const std::string kPollTimesOut = "WaitForMutex 2000 -> 0x00000102|";
const std::string kPollFails = "WaitForMutex 2000 -> 0xffffffff|Sleep 2000|";
const std::string kPollOwns = "WaitForMutex 2000 -> 0x00000000|";
// The mutex stays held until after the logoff.
const std::string kOwnedEnd = "Logoff 0 1 0|Release|MAPIUninitialize|ReleaseMutex|CloseMutex|";
const std::string kNeverOwnedEnd = "Logoff 0 1 0|Release|MAPIUninitialize|CloseMutex|";
const std::string kInitialized = "KSScheduler: MAPIInitialize|";
const std::string kRetry = "KSScheduler: MAPIInitialize Retry without MAPI_NO_COINIT|";
const std::string kLoggedOn = "KSScheduler: MAPILogonEx|";
const std::string kWaiting = "KSScheduler: Waiting for Larkspan|";
const std::string kLoggedOff = "KSScheduler: MAPI Logoff|KSScheduler: MAPI MAPIUninitialize|";
const std::string kEntries = kInitialized + kLoggedOn + kWaiting + kLoggedOff;

// Given what MAPI, the mutex, the add-in and the log do, the platform calls
// of the phase (without the registry's), its log entries and what it raised.
// Calls and entries are texts, each line followed by |; unless a row says
// otherwise, those of the normal course.
struct CourseCase {
  const char* what;
  std::u16string profile = u"Work";
  std::vector<HResult> initializeResults = {};  // none left: success
  HResult logonResult = 0;
  HResult logoffResult = 0;
  bool failMutex = false;
  std::vector<std::uint32_t> waitResults = {};  // none left: owned at once
  int autoRunExitAtRead = 0;                    // the add-in sets AutoRunExit before this read
  std::int32_t autoRunExit = 1;
  bool seekFailsInTheWait = false;  // the log fails from the first read of AutoRunExit on
  std::string raised = {};          // a _com_error's code or a framework exception's text
  std::string calls = kInit + kLogon + kMutex + kOwnedAtOnce + kOwnedEnd;
  std::string entries = kEntries;
};

class SessionCourse : public testing::TestWithParam<CourseCase> {};

TEST_P(SessionCourse, RaisesAndUnwindsInOrder) {
  const CourseCase& c = GetParam();
  SCOPED_TRACE(c.what);
  test::FakePlatform os;
  SettingsStore settings{u"Larkspan"};
  settings.SetSettingsRoot(os.registry, u"Brinmoor");
  RunLog log;
  os.disk.AddFolder(u"C:\\Logs");
  log.Open(os.clock, os.files, u"C:\\Logs");
  os.journal.Clear();
  os.mapi.initializeResults.assign(c.initializeResults.begin(), c.initializeResults.end());
  os.mapi.logonResult = c.logonResult;
  os.mapi.logoffResult = c.logoffResult;
  os.sync.failCreate = c.failMutex;
  os.sync.waitResults.assign(c.waitResults.begin(), c.waitResults.end());
  int reads = 0;
  os.registry.beforeQuery = [&](const std::u16string&, std::u16string_view name) {
    if (name != u"AutoRunExit") return;
    if (++reads == c.autoRunExitAtRead)
      os.registry.SetDword(kAdmin, u"AutoRunExit", static_cast<std::uint32_t>(c.autoRunExit));
    if (c.seekFailsInTheWait) os.files.FailSeekToEnd(true);
  };
  std::string raised;
  try {
    MapiSessionPhase(os.bundle, settings, log).Run(c.profile);
  } catch (const _com_error& error) {
    raised = test::Narrow(FormatText(u"%08lx", {static_cast<std::uint32_t>(error.Error())}));
  } catch (CException* exception) {
    raised = exception == CResourceException::Instance() ? "the resource exception"
                                                         : test::MessageOf(*exception, os.messages);
    exception->Delete();
  }
  EXPECT_EQ(raised, c.raised);
  std::vector<std::string> calls;
  for (const std::string& line : os.journal.lines()) {
    if (line.rfind("Reg", 0) != 0) calls.push_back(line);
  }
  EXPECT_EQ(test::Joined(calls), c.calls);
  EXPECT_EQ(test::Joined(test::EntriesOf(*os.disk.Contents(log.path()))), c.entries);
  if (c.autoRunExitAtRead != 0) {
    EXPECT_EQ(reads, c.autoRunExitAtRead) << "any value but 0 ends the wait at once";
  }
  EXPECT_EQ(os.mapi.liveSessions, 0);
  EXPECT_EQ(os.sync.openHandles, 0);
  EXPECT_FALSE(os.sync.held);
  EXPECT_EQ(os.registry.openHandles(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    , SessionCourse,
    testing::Values(
        CourseCase{.what = "the normal course"},
        CourseCase{.what = "no profile logs on with an empty text; abandoned counts as owned",
                   .profile = u"",
                   .waitResults = {wait_result::kAbandoned},
                   .calls = kInit + "MAPILogonEx 0 [] (null) 0x80000028|" + kMutex +
                            "WaitForMutex 4294967295 -> 0x00000080|" + kOwnedEnd},
        CourseCase{.what = "initialize is retried once without MAPI_NO_COINIT",
                   .initializeResults = {HResult(0x80010106), 0},
                   .calls = kRetried + kLogon + kMutex + kOwnedAtOnce + kOwnedEnd,
                   .entries = kInitialized + kRetry + kLoggedOn + kWaiting + kLoggedOff},
        CourseCase{.what = "both initializations fail",
                   .initializeResults = {HResult(0x80040605), HResult(0x80004005)},
                   .raised = "80004005",
                   .calls = "MAPIInitialize 0 8 -> 0x80040605|MAPIInitialize 0 0 -> 0x80004005|",
                   .entries = kInitialized + kRetry},
        CourseCase{.what = "logon fails",
                   .logonResult = HResult(0x80040111),
                   .raised = "80040111",
                   .calls = kInit + kLogon,
                   .entries = kInitialized + kLoggedOn},
        CourseCase{.what = "logon warns: any nonzero result fails",
                   .logonResult = HResult(0x00040380),
                   .raised = "00040380",
                   .calls = kInit + kLogon,
                   .entries = kInitialized + kLoggedOn},
        CourseCase{.what = "the mutex cannot be created: the session goes without a logoff",
                   .failMutex = true,
                   .raised = "the resource exception",
                   .calls = kInit + kLogon + kMutex + "Release|",
                   .entries = kInitialized + kLoggedOn},
        CourseCase{.what = "a failed logoff is logged and the run goes on",
                   .logoffResult = HResult(0x80004005),
                   .entries = kInitialized + kLoggedOn + kWaiting +
                              "KSScheduler: MAPI Logoff|KSScheduler: MAPI Logoff failed:|"
                              "KSScheduler: MAPI MAPIUninitialize|"},
        // A timed-out poll already took its time: no sleep.
        CourseCase{
            .what = "a failed wait polls AutoRunExit every two seconds",
            .waitResults = {wait_result::kFailed, wait_result::kTimeout, wait_result::kTimeout},
            .autoRunExitAtRead = 3,
            .calls = kInit + kLogon + kMutex + kNotOwned + kPollTimesOut + kPollTimesOut +
                     kNeverOwnedEnd},
        CourseCase{
            .what = "polling ends when the mutex is finally owned",
            .waitResults = {wait_result::kFailed, wait_result::kTimeout, wait_result::kObject0},
            .calls = kInit + kLogon + kMutex + kNotOwned + kPollTimesOut + kPollOwns + kOwnedEnd},
        // A failed wait returns at once: the poll keeps its pace by sleeping.
        CourseCase{
            .what = "waits that fail at once do not spin",
            .waitResults = {wait_result::kFailed, wait_result::kFailed, wait_result::kFailed},
            .autoRunExitAtRead = 3,
            .autoRunExit = 7,
            .calls = kInit + kLogon + kMutex + kNotOwned + kPollFails + kPollFails +
                     kNeverOwnedEnd},
        CourseCase{.what = "a bad seek during the wait unwinds in order",
                   .waitResults = {wait_result::kFailed, wait_result::kObject0},
                   .seekFailsInTheWait = true,
                   .raised = "Seek failed on C:\\Logs\\Scheduler061226164509.log",
                   .calls = kInit + kLogon + kMutex + kNotOwned + kPollOwns +
                            "ReleaseMutex|CloseMutex|Release|",
                   .entries = kInitialized + kLoggedOn + kWaiting}),
    test::RowName);

}  // namespace
}  // namespace lss
