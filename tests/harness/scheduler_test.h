#pragma once
// The base of every end-to-end test: a clean registry, a fresh folder, the
// stand-ins on request, and LSScheduler.exe run and its traces read back.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "harness/local_time.h"
#include "harness/olsim_journal.h"
#include "harness/process_runner.h"
#include "harness/run_log_file.h"
#include "harness/scratch_files.h"
#include "harness/test_registry.h"
#include "harness/text.h"

namespace e2e {

using namespace std::chrono_literals;

inline constexpr wchar_t kProductKey[] = L"Software\\Brinmoor";
inline constexpr wchar_t kSettingsKey[] = L"Software\\Brinmoor\\Larkspan\\Settings";
inline constexpr wchar_t kAdminOptionsKey[] =
    L"Software\\Brinmoor\\Larkspan\\Settings\\AdminOptions";
inline constexpr wchar_t kOlsimKey[] = L"Software\\Olsim";
inline constexpr wchar_t kAppPathsKey[] =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\OUTLOOK.EXE";
inline constexpr wchar_t kMailClientsKey[] = L"Software\\Clients\\Mail";
inline constexpr wchar_t kMailClientName[] = L"Olsim";
// Where an installation puts the stand-in Outlook (with its trailing backslash).
inline constexpr wchar_t kOutlookFolder[] = L"C:\\Program Files\\Olsim\\";
inline constexpr char kOutlookExe[] = "C:\\Program Files\\Olsim\\OUTLOOK.EXE";

// Log entries of several stories.
inline constexpr char kNotFound[] = "LSScheduler Error: Can't find Outlook.exe";
inline constexpr char kBlock[] = "Block Larkspan Toolbar Load";
inline constexpr char kDeBlock[] = "De-Block Larkspan Toolbar Load";

// DWORD values as the program stores signed integers.
inline RegValue Dword(std::uint32_t value) { return RegValue::Dword(value); }
inline constexpr std::uint32_t kMinusOne = 0xFFFFFFFF;

class SchedulerTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // C:\lsse2e\<suite>.<test>: created empty for this test.
  const std::wstring& folder() const { return folder_; }
  std::wstring LogFolder() const { return folder_ + L"\\logs"; }
  std::wstring JournalPath() const { return folder_ + L"\\journal.txt"; }

  // Values under HKCU\Software\Brinmoor\Larkspan\Settings and ...\AdminOptions.
  void SetSetting(std::wstring_view name, const RegValue& value) {
    SetValue(HKEY_CURRENT_USER, kSettingsKey, name, value);
  }
  std::optional<RegValue> Setting(std::wstring_view name) {
    return ReadValue(HKEY_CURRENT_USER, kSettingsKey, name);
  }
  void SetAdminOption(std::wstring_view name, const RegValue& value) {
    SetValue(HKEY_CURRENT_USER, kAdminOptionsKey, name, value);
  }
  std::optional<RegValue> AdminOption(std::wstring_view name) {
    return ReadValue(HKEY_CURRENT_USER, kAdminOptionsKey, name);
  }

  // LogDirectory = LogFolder(), which is created.
  void UseLogFolder();

  // Copies OUTLOOK.EXE and olmapi.dll into kOutlookFolder.
  void CopyStandIns();
  // CopyStandIns and the App Paths entry an Outlook installation writes:
  // default value the full path, "Path" the folder with a trailing backslash.
  void InstallOutlook();
  // The stand-in provider as the default mail client, for the system's MAPI.
  void RegisterMapiProvider();
  // HKCU\Software\Olsim: the journal in JournalPath() plus `values`.
  void ConfigureStandIn(const std::vector<std::pair<std::wstring, RegValue>>& values = {});
  // A machine ready for a whole run: the log folder, Outlook installed, the
  // provider registered, the stand-in configured with `values`, and
  // WaitSecondsForOutlookStart.
  void SetUpWholeRun(std::uint32_t waitSeconds,
                     const std::vector<std::pair<std::wstring, RegValue>>& values);

  // Runs LSScheduler.exe with `arguments`, waiting at most `limit`, and adds a
  // failure unless it ends with exit code 0, as every run must. The local
  // time before the first start and after the last end of the test's runs
  // bounds the stamps of the log.
  RunResult RunScheduler(std::wstring_view arguments, std::chrono::milliseconds limit = 60s);
  // Only starts it, for a run that the test ends by killing it.
  std::unique_ptr<ChildProcess> StartScheduler(std::wstring_view arguments);
  // Runs LSSchedulerCheck.exe with `arguments`, capturing its output in folder().
  CapturedRun RunCheckTool(std::wstring_view arguments);

  // The names of the files in LogFolder().
  std::vector<std::wstring> LogFiles() const { return FileNamesIn(LogFolder()); }
  // The entries of the one log file in `logs`. Adds a failure when there
  // is not exactly one file, when its name or an entry's stamp is not a local
  // time between the start of the first run and the end of the last one, or
  // when the file's layout is broken. Only an empty file gives neither
  // entries nor a failure.
  std::vector<LogEntry> TheLog(const std::wstring& logs);
  std::vector<LogEntry> TheLog() { return TheLog(LogFolder()); }
  // Adds a failure unless `name` is a log file's name of a time of this test's runs.
  void ExpectLogNameOfTheRuns(const std::wstring& name);

  // Waits until the stand-in Outlook has journalled its exit; adds a failure
  // when it has not within `limit`. Returns the journal.
  std::vector<JournalEvent> WaitForOutlookExit(std::chrono::milliseconds limit);

  // Adds a failure unless `time` lies in the window of this test's runs.
  void ExpectWithinRuns(LocalSeconds time, const std::string& what) const;

 private:
  std::wstring folder_;
  std::wstring schedulerExe_;
  std::optional<LocalSeconds> firstRunStarted_;
  LocalSeconds lastRunEnded_ = 0;
};

}  // namespace e2e
