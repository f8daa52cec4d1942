#include "harness/scheduler_test.h"

#include <windows.h>

#include <algorithm>

#include "harness/text.h"

namespace e2e {
namespace {

constexpr wchar_t kScratchRoot[] = L"C:\\lsse2e\\";

std::wstring CurrentTestFolder() {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::string ascii = std::string(info->test_suite_name()) + "." + info->name();
  std::wstring name(ascii.begin(), ascii.end());
  // Rows of a table are named Suite/Rows.Test/N: keep them one folder each.
  std::replace(name.begin(), name.end(), L'/', L'_');
  return kScratchRoot + name;
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

void SchedulerTest::ConfigureStandIn(const std::vector<std::pair<std::wstring, RegValue>>& values) {
  SetValue(HKEY_CURRENT_USER, kOlsimKey, L"JournalPath", RegValue::Sz(JournalPath()));
  for (const auto& [name, value] : values) SetValue(HKEY_CURRENT_USER, kOlsimKey, name, value);
}

void SchedulerTest::SetUpWholeRun(std::uint32_t waitSeconds,
                                  const std::vector<std::pair<std::wstring, RegValue>>& values) {
  UseLogFolder();
  InstallOutlook();
  RegisterMapiProvider();
  ConfigureStandIn(values);
  SetSetting(L"WaitSecondsForOutlookStart", Dword(waitSeconds));
}

RunResult SchedulerTest::RunScheduler(std::wstring_view arguments,
                                      std::chrono::milliseconds limit) {
  const RunResult result = StartScheduler(arguments)->Wait(limit);
  lastRunEnded_ = LocalNow();
  EXPECT_EQ(result.exitCode, 0u) << "LSScheduler.exe ends with exit code 0, whatever happened";
  return result;
}

std::unique_ptr<ChildProcess> SchedulerTest::StartScheduler(std::wstring_view arguments) {
  const LocalSeconds started = LocalNow();
  if (!firstRunStarted_) firstRunStarted_ = started;
  return std::make_unique<ChildProcess>(schedulerExe_, arguments);
}

CapturedRun SchedulerTest::RunCheckTool(std::wstring_view arguments) {
  return RunCapturingOutput(PathFromEnvironment(L"LSS_CHECK_EXE"), arguments, folder_, 30s);
}

void SchedulerTest::ExpectWithinRuns(LocalSeconds time, const std::string& what) const {
  ASSERT_TRUE(firstRunStarted_.has_value()) << "nothing was run";
  EXPECT_TRUE(time >= *firstRunStarted_ && time <= lastRunEnded_)
      << what << " is not a local time of the run (" << time - *firstRunStarted_
      << " s from its start, which lasted " << lastRunEnded_ - *firstRunStarted_ << " s)";
}

void SchedulerTest::ExpectLogNameOfTheRuns(const std::wstring& name) {
  // "Scheduler", the local time as 12 digits, ".log".
  const std::optional<LocalSeconds> stamp =
      name.size() == 25 && name.starts_with(L"Scheduler") && name.ends_with(L".log")
          ? ParseFileStamp(Narrow(name.substr(9, 12)))
          : std::nullopt;
  if (!stamp) {
    ADD_FAILURE() << "the log file's name is not Scheduler<date and time>.log: " << ToUtf8(name);
  } else {
    ExpectWithinRuns(*stamp, "the stamp of the log file's name " + ToUtf8(name));
  }
}

std::vector<LogEntry> SchedulerTest::TheLog(const std::wstring& logs) {
  const std::vector<std::wstring> files = FileNamesIn(logs);
  if (files.size() != 1) {
    ADD_FAILURE() << "expected exactly one log file in " << ToUtf8(logs) << ", found "
                  << ::testing::PrintToString(files);
    return {};
  }
  ExpectLogNameOfTheRuns(files.front());
  const ParsedLog log = ParseLog(ReadFileBytes(logs + L"\\" + files.front()));
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
