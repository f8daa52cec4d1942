#include "harness/scheduler_test.h"

#include <windows.h>

#include <algorithm>

#include "harness/text.h"

namespace e2e {
namespace {

constexpr wchar_t kScratchRoot[] = L"C:\\lsse2e\\";

std::wstring CurrentTestFolder() {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::wstring name = FromUtf8(std::string(info->test_suite_name()) + "." + info->name());
  // Rows of a table are named Suite/Rows.Test/N: keep them one folder each.
  std::replace(name.begin(), name.end(), L'/', L'_');
  return kScratchRoot + name;
}

std::string Describe(const std::vector<std::wstring>& names) {
  std::string text = "[";
  for (const std::wstring& name : names) text += (text.size() > 1 ? ", " : "") + ToUtf8(name);
  return text + "]";
}

}  // namespace

void SchedulerTest::SetUp() {
  schedulerExe_ = PathFromEnvironment(L"LSS_EXE");
  EndProcessesNamed(L"OUTLOOK.EXE", 0ms);

  // Nothing of an earlier test may leak into this one.
  DeleteKeyTree(HKEY_CURRENT_USER, kProductKey);
  DeleteKeyTree(HKEY_CURRENT_USER, kOlsimKey);
  DeleteKeyTree(HKEY_LOCAL_MACHINE, kAppPathsKey);
  DeleteKeyTree(HKEY_LOCAL_MACHINE, std::wstring(kMailClientsKey) + L"\\" + kMailClientName);
  DeleteValue(HKEY_LOCAL_MACHINE, kMailClientsKey, L"");

  folder_ = CurrentTestFolder();
  MakeFreshFolder(folder_);
}

void SchedulerTest::TearDown() {
  if (EndProcessesNamed(L"OUTLOOK.EXE", 3s) > 0) {
    ADD_FAILURE() << "a stand-in Outlook was still running at the end of the test";
  }
}

void SchedulerTest::SetSetting(std::wstring_view name, const RegValue& value) {
  SetValue(HKEY_CURRENT_USER, kSettingsKey, name, value);
}

std::optional<RegValue> SchedulerTest::Setting(std::wstring_view name) {
  return ReadValue(HKEY_CURRENT_USER, kSettingsKey, name);
}

void SchedulerTest::SetAdminOption(std::wstring_view name, const RegValue& value) {
  SetValue(HKEY_CURRENT_USER, kAdminOptionsKey, name, value);
}

std::optional<RegValue> SchedulerTest::AdminOption(std::wstring_view name) {
  return ReadValue(HKEY_CURRENT_USER, kAdminOptionsKey, name);
}

void SchedulerTest::UseLogFolder() {
  MakeFreshFolder(LogFolder());
  SetSetting(L"LogDirectory", RegValue::Sz(LogFolder()));
}

void SchedulerTest::CopyStandIns() {
  CopyFileTo(PathFromEnvironment(L"OLSIM_OUTLOOK_EXE"),
             std::wstring(kOutlookFolder) + L"OUTLOOK.EXE");
  CopyFileTo(PathFromEnvironment(L"OLSIM_MAPI_DLL"), std::wstring(kOutlookFolder) + L"olmapi.dll");
}

void SchedulerTest::InstallOutlook() {
  CopyStandIns();
  SetValue(HKEY_LOCAL_MACHINE, kAppPathsKey, L"",
           RegValue::Sz(std::wstring(kOutlookFolder) + L"OUTLOOK.EXE"));
  SetValue(HKEY_LOCAL_MACHINE, kAppPathsKey, L"Path", RegValue::Sz(kOutlookFolder));
}

void SchedulerTest::RegisterMapiProvider() {
  SetValue(HKEY_LOCAL_MACHINE, kMailClientsKey, L"", RegValue::Sz(kMailClientName));
  SetValue(HKEY_LOCAL_MACHINE, std::wstring(kMailClientsKey) + L"\\" + kMailClientName,
           L"DLLPathEx", RegValue::Sz(std::wstring(kOutlookFolder) + L"olmapi.dll"));
}

void SchedulerTest::ConfigureStandIn(
    const std::vector<std::pair<std::wstring, RegValue>>& values) {
  SetValue(HKEY_CURRENT_USER, kOlsimKey, L"JournalPath", RegValue::Sz(JournalPath()));
  for (const auto& [name, value] : values) SetValue(HKEY_CURRENT_USER, kOlsimKey, name, value);
}

RunResult SchedulerTest::RunScheduler(std::wstring_view arguments,
                                      std::chrono::milliseconds limit) {
  const std::unique_ptr<ChildProcess> run = StartScheduler(arguments);
  return WaitForScheduler(*run, limit);
}

std::unique_ptr<ChildProcess> SchedulerTest::StartScheduler(std::wstring_view arguments) {
  const LocalSeconds started = LocalNow();
  if (!firstRunStarted_) firstRunStarted_ = started;
  return std::make_unique<ChildProcess>(schedulerExe_, arguments);
}

RunResult SchedulerTest::WaitForScheduler(ChildProcess& run, std::chrono::milliseconds limit) {
  const RunResult result = run.Wait(limit);
  lastRunEnded_ = LocalNow();
  return result;
}

void SchedulerTest::ExpectWithinRuns(LocalSeconds time, const std::string& what) const {
  ASSERT_TRUE(firstRunStarted_.has_value()) << "nothing was run";
  EXPECT_TRUE(time >= *firstRunStarted_ && time <= lastRunEnded_)
      << what << " is not a local time of the run (" << time - *firstRunStarted_
      << " s from its start, which lasted " << lastRunEnded_ - *firstRunStarted_ << " s)";
}

std::string SchedulerTest::TheLogBytes() {
  const std::vector<std::wstring> files = LogFiles();
  if (files.size() != 1) {
    ADD_FAILURE() << "expected exactly one log file in " << ToUtf8(LogFolder()) << ", found "
                  << Describe(files);
    return {};
  }
  const std::wstring& name = files.front();
  if (!IsLogFileName(name)) {
    ADD_FAILURE() << "the log file's name is not Scheduler<12 digits>.log: " << ToUtf8(name);
  } else if (const auto stamp = ParseFileStamp(Narrow(name.substr(9, 12)))) {
    ExpectWithinRuns(*stamp, "the stamp of the log file's name " + ToUtf8(name));
  } else {
    ADD_FAILURE() << "the log file's name holds no valid date and time: " << ToUtf8(name);
  }
  return ReadFileBytes(LogFolder() + L"\\" + name);
}

std::vector<LogEntry> SchedulerTest::TheLog() {
  const ParsedLog log = ParseLog(TheLogBytes());
  for (const std::string& problem : log.problems) ADD_FAILURE() << "log layout: " << problem;
  for (const LogEntry& entry : log.entries) {
    if (const auto stamp = ParseEntryStamp(entry.stamp)) {
      ExpectWithinRuns(*stamp, "the stamp \"" + entry.stamp + "\" of \"" + entry.text + "\"");
    }
  }
  return log.entries;
}

std::vector<JournalEvent> SchedulerTest::WaitForOutlookExit(std::chrono::milliseconds limit) {
  std::vector<JournalEvent> journal = WaitForEvent(JournalPath(), "outlook", "exit", limit);
  if (!HasEvent(journal, "outlook", "exit")) {
    ADD_FAILURE() << "the stand-in Outlook did not journal its exit within " << limit.count()
                  << " ms";
  }
  return journal;
}

}  // namespace e2e
