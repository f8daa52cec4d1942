#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "diag/com_error.h"
#include "diag/exceptions.h"
#include "fake/fake_platform.h"
#include "outlook/mapi_session.h"

namespace lss {
namespace {

constexpr std::u16string_view kAdmin = u"HKCU\\Software\\Brinmoor\\Larkspan\\Settings\\AdminOptions";

class SessionPhase : public testing::Test {
 protected:
  SessionPhase() {
    settings.SetSettingsRoot(os.registry, u"Brinmoor");
    os.disk.AddFolder(u"C:\\Logs");
    log.Open(os.clock, os.files, u"C:\\Logs");
  }
  void Run(const std::u16string& profile = u"Work") {
    os.journal.Clear();
    MapiSessionPhase(os.bundle, settings, log).Run(profile);
  }
  // The platform calls of the phase, without the registry's.
  std::vector<std::string> Calls() {
    std::vector<std::string> calls;
    for (const std::string& line : os.journal.lines()) {
      if (line.rfind("Reg", 0) != 0) calls.push_back(line);
    }
    return calls;
  }
  std::vector<std::string> Entries() {
    const std::string bytes = *os.disk.Contents(log.path());
    std::vector<std::string> entries;
    for (std::size_t at = 0; (at = bytes.find("\r\n", at)) != std::string::npos; at += 2) {
      const std::size_t next = bytes.find("\r\n", at + 2);
      entries.push_back(bytes.substr(at + 21, next == std::string::npos ? next : next - at - 21));
    }
    return entries;
  }
  void ExpectEverythingReleased() {
    EXPECT_EQ(os.mapi.liveSessions, 0);
    EXPECT_EQ(os.sync.openHandles, 0);
    EXPECT_FALSE(os.sync.held);
    EXPECT_EQ(os.registry.openHandles(), 0u);
  }

  test::FakePlatform os;
  SettingsStore settings{u"Larkspan"};
  RunLog log;
};

TEST_F(SessionPhase, NormalCourse) {
  Run();
  EXPECT_EQ(Calls(), (std::vector<std::string>{
                         "MAPIInitialize 0 8 -> 0x00000000",
                         "MAPILogonEx 0 [Work] (null) 0x80000028",
                         "CreateMutex LSSyncMutex",
                         "WaitForMutex 4294967295 -> 0x00000000",
                         "Logoff 0 1 0",
                         "Release",
                         "MAPIUninitialize",
                         "ReleaseMutex",
                         "CloseMutex"}));
  EXPECT_EQ(Entries(), (std::vector<std::string>{
                           "KSScheduler: MAPIInitialize", "KSScheduler: MAPILogonEx",
                           "KSScheduler: Waiting for Larkspan", "KSScheduler: MAPI Logoff",
                           "KSScheduler: MAPI MAPIUninitialize"}));
  ExpectEverythingReleased();
}

TEST_F(SessionPhase, NoProfileLogsOnWithAnEmptyTextAndAnAbandonedMutexCountsAsOwned) {
  os.sync.waitResults = {wait_result::kAbandoned};
  Run(u"");
  // One wait, no polling, and the mutex stays held until after the logoff.
  EXPECT_EQ(Calls(), (std::vector<std::string>{
                         "MAPIInitialize 0 8 -> 0x00000000",
                         "MAPILogonEx 0 [] (null) 0x80000028",
                         "CreateMutex LSSyncMutex",
                         "WaitForMutex 4294967295 -> 0x00000080",
                         "Logoff 0 1 0",
                         "Release",
                         "MAPIUninitialize",
                         "ReleaseMutex",
                         "CloseMutex"}));
  ExpectEverythingReleased();
}

TEST_F(SessionPhase, RetriesInitializeOnceWithoutNoCoInit) {
  os.mapi.initializeResults = {static_cast<HResult>(0x80010106), 0};
  Run();
  EXPECT_EQ(os.journal.Matching("MAPIInitialize"),
            (std::vector<std::string>{"MAPIInitialize 0 8 -> 0x80010106", "MAPIInitialize 0 0 -> 0x00000000"}));
  const auto entries = Entries();
  ASSERT_GE(entries.size(), 3u);
  EXPECT_EQ(entries[1], "KSScheduler: MAPIInitialize Retry without MAPI_NO_COINIT");
  EXPECT_EQ(entries[2], "KSScheduler: MAPILogonEx");
  ExpectEverythingReleased();
}

// A failure and what the phase must have done before it left.
struct FaultCase {
  const char* what;
  std::vector<HResult> initializeResults;
  HResult logonResult;
  bool failMutex;
  std::uint32_t expectedCode;  // of the COM error; 0 for the framework exception
  std::vector<std::string> expectedCalls;
  std::vector<std::string> expectedEntries;
};

void PrintTo(const FaultCase& c, std::ostream* out) { *out << c.what; }

class SessionFaults : public SessionPhase, public testing::WithParamInterface<FaultCase> {};

TEST_P(SessionFaults, RaiseAndUnwindInOrder) {
  const FaultCase& c = GetParam();
  os.mapi.initializeResults.assign(c.initializeResults.begin(), c.initializeResults.end());
  os.mapi.logonResult = c.logonResult;
  os.sync.failCreate = c.failMutex;
  std::uint32_t code = 0;
  try {
    Run();
    ADD_FAILURE() << c.what << ": nothing was raised";
  } catch (const _com_error& error) {
    code = static_cast<std::uint32_t>(error.Error());
  } catch (CException* exception) {
    EXPECT_EQ(exception, CResourceException::Instance()) << c.what;
    exception->Delete();
  }
  EXPECT_EQ(code, c.expectedCode) << c.what;
  EXPECT_EQ(Calls(), c.expectedCalls) << c.what;
  EXPECT_EQ(Entries(), c.expectedEntries) << c.what;
  ExpectEverythingReleased();
}

INSTANTIATE_TEST_SUITE_P(
    Table, SessionFaults,
    testing::Values(
        FaultCase{"both initializations fail",
                  {HResult(0x80040605), HResult(0x80004005)}, 0, false, 0x80004005,
                  {"MAPIInitialize 0 8 -> 0x80040605", "MAPIInitialize 0 0 -> 0x80004005"},
                  {"KSScheduler: MAPIInitialize", "KSScheduler: MAPIInitialize Retry without MAPI_NO_COINIT"}},
        FaultCase{"logon fails",
                  {}, HResult(0x80040111), false, 0x80040111,
                  {"MAPIInitialize 0 8 -> 0x00000000", "MAPILogonEx 0 [Work] (null) 0x80000028"},
                  {"KSScheduler: MAPIInitialize", "KSScheduler: MAPILogonEx"}},
        FaultCase{"logon warns: any nonzero result fails",
                  {}, HResult(0x00040380), false, 0x00040380,
                  {"MAPIInitialize 0 8 -> 0x00000000", "MAPILogonEx 0 [Work] (null) 0x80000028"},
                  {"KSScheduler: MAPIInitialize", "KSScheduler: MAPILogonEx"}},
        FaultCase{"the mutex cannot be created: the session goes without a logoff",
                  {}, 0, true, 0,
                  {"MAPIInitialize 0 8 -> 0x00000000", "MAPILogonEx 0 [Work] (null) 0x80000028",
                   "CreateMutex LSSyncMutex", "Release"},
                  {"KSScheduler: MAPIInitialize", "KSScheduler: MAPILogonEx"}}),
    [](const auto& row) { return std::to_string(row.index); });

TEST_F(SessionPhase, AFailedLogoffIsLoggedAndTheRunGoesOn) {
  os.mapi.logoffResult = static_cast<HResult>(0x80004005);
  Run();
  const auto entries = Entries();
  ASSERT_EQ(entries.size(), 6u);
  EXPECT_EQ(entries[4], "KSScheduler: MAPI Logoff failed:");
  EXPECT_EQ(entries[5], "KSScheduler: MAPI MAPIUninitialize");
  ExpectEverythingReleased();
}

TEST_F(SessionPhase, AFailedWaitPollsAutoRunExitEveryTwoSeconds) {
  os.sync.waitResults = {wait_result::kFailed, wait_result::kTimeout, wait_result::kTimeout};
  int reads = 0;
  os.registry.beforeQuery = [&](const std::u16string&, std::u16string_view name) {
    if (name == u"AutoRunExit" && ++reads == 3) os.registry.SetDword(kAdmin, u"AutoRunExit", 1);
  };
  Run();
  EXPECT_EQ(reads, 3);
  EXPECT_EQ(os.journal.Matching("WaitForMutex"),
            (std::vector<std::string>{"WaitForMutex 4294967295 -> 0xffffffff",
                                      "WaitForMutex 2000 -> 0x00000102",
                                      "WaitForMutex 2000 -> 0x00000102"}));
  EXPECT_TRUE(os.journal.Matching("ReleaseMutex").empty()) << "the mutex was never held";
  EXPECT_EQ(os.journal.Matching("Logoff").size(), 1u);
  EXPECT_EQ(os.clock.sleeps(), std::vector<std::uint32_t>{}) << "a timed-out wait already took its time";
  ExpectEverythingReleased();
}

TEST_F(SessionPhase, PollingEndsWhenTheMutexIsFinallyOwned) {
  os.sync.waitResults = {wait_result::kFailed, wait_result::kTimeout, wait_result::kObject0};
  Run();
  const auto calls = Calls();
  EXPECT_EQ(std::vector<std::string>(calls.end() - 4, calls.end()),
            (std::vector<std::string>{"Release", "MAPIUninitialize", "ReleaseMutex", "CloseMutex"}));
  ExpectEverythingReleased();
}

TEST_F(SessionPhase, WaitsThatFailAtOnceDoNotSpin) {
  os.sync.waitResults = {wait_result::kFailed, wait_result::kFailed, wait_result::kFailed};
  int reads = 0;
  os.registry.beforeQuery = [&](const std::u16string&, std::u16string_view name) {
    if (name == u"AutoRunExit" && ++reads == 3) os.registry.SetDword(kAdmin, u"AutoRunExit", 7);
  };
  Run();
  EXPECT_EQ(os.clock.sleeps(), (std::vector<std::uint32_t>{2000, 2000}));
  // Any value but 0 ends the wait, and the third wait is the last.
  EXPECT_EQ(os.journal.Matching("WaitForMutex").size(), 3u);
  EXPECT_TRUE(os.journal.Matching("ReleaseMutex").empty()) << "the mutex was never held";
}

TEST_F(SessionPhase, ABadSeekDuringTheWaitUnwindsInOrder) {
  os.registry.beforeQuery = [&](const std::u16string&, std::u16string_view name) {
    if (name == u"AutoRunExit") os.files.FailSeekToEnd(true);
  };
  os.sync.waitResults = {wait_result::kFailed, wait_result::kObject0};
  try {
    Run();
    ADD_FAILURE() << "the bad seek did not leave the phase";
  } catch (CException* exception) {
    char16_t text[512] = {};
    exception->GetErrorMessage(text, 511, os.messages);
    EXPECT_EQ(std::u16string(text), u"Seek failed on " + log.path());
    exception->Delete();
  }
  const auto calls = Calls();
  EXPECT_EQ(std::vector<std::string>(calls.end() - 3, calls.end()),
            (std::vector<std::string>{"ReleaseMutex", "CloseMutex", "Release"}));
  EXPECT_TRUE(os.journal.Matching("Logoff").empty());
  EXPECT_TRUE(os.journal.Matching("MAPIUninitialize").empty());
  ExpectEverythingReleased();
}

}  // namespace
}  // namespace lss
