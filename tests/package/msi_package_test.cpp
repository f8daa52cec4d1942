// The MSI under Wine's Windows Installer: where it installs, what the
// installed program does, what Add/Remove Programs shows, the task and the
// event source it registers, the Group Policy transform, upgrades, rebuilds,
// downgrades, removal and rollback; and what its tables say.
#include <windows.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cwctype>
#include <map>
#include <regex>
#include <sstream>
#include <utility>
#include <vector>

#include "common/rows.h"
#include "harness/check_json.h"
#include "harness/process_runner.h"
#include "harness/scratch_files.h"
#include "harness/test_registry.h"
#include "harness/text.h"
#include "installer.h"
#include "version_info.h"

namespace package_test {
namespace {

using lss::test::PrintTo;
using ::testing::HasSubstr;
using ::testing::Not;

using namespace std::chrono_literals;
using e2e::RegValue;
using Tasks = std::vector<std::wstring>;

constexpr wchar_t kDefaultFolder[] = L"C:\\Program Files\\Brinmoor\\LSScheduler";
constexpr wchar_t kVendorFolder[] = L"C:\\Program Files\\Brinmoor";
constexpr wchar_t kOtherFolder[] = L"C:\\Admin Tools\\Larkspan";
constexpr wchar_t kLarkspanKey[] = L"Software\\Brinmoor";
constexpr wchar_t kAdminOptionsKey[] = L"Software\\Brinmoor\\Larkspan\\Settings\\AdminOptions";
// The package's own record of its folder.
constexpr wchar_t kInstallerKey[] = L"Software\\Brinmoor\\LSScheduler";
constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr wchar_t kEventSourceKey[] =
    L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\LSScheduler";
// Wine's task service keeps one file per task here; its schtasks /Query is a stub.
constexpr wchar_t kTasksFolder[] = L"C:\\windows\\system32\\tasks";
constexpr wchar_t kLogFolder[] = L"C:\\lsspackage\\MsiInstall";
// Summary information: "Revision Number" and "Character Count" (PIDSI_*).
constexpr UINT kRevisionNumber = 9;
constexpr UINT kCharacterCount = 16;

// msiexec, quiet, with a verbose log in kLogFolder. The packages, known only
// at run time, stand in the arguments as {VARIABLE}: {LSS_MSI},
// {LSS_NEXT_MSI}, {LSS_REBUILD_MSI} (the same version, told apart by its
// README) and {LSS_SCHEDULE_MST}.
DWORD Msiexec(std::wstring arguments) {
  for (size_t open; (open = arguments.find(L'{')) != std::wstring::npos;) {
    const size_t length = arguments.find(L'}', open) + 1 - open;
    const std::wstring variable = arguments.substr(open + 1, length - 2);
    arguments.replace(open, length, L"\"" + e2e::PathFromEnvironment(variable.c_str()) + L"\"");
  }
  return RunSystemTool(L"msiexec.exe",
                       arguments + L" /qn /l*v \"" + kLogFolder + L"\\msiexec.log\"");
}

Tasks RegisteredTasks() { return e2e::FileNamesIn(kTasksFolder); }

// The installed check tool's `task` finding, from its JSON report.
e2e::CheckJsonEntry TaskFinding(const std::wstring& check, std::wstring_view moreArguments) {
  const e2e::CapturedRun run = e2e::RunCapturingOutput(
      check, L"--only task --json " + std::wstring(moreArguments), kLogFolder, 30s);
  std::string problem;
  const e2e::CheckJson json = e2e::ParseCheckJson(run.output, problem);
  if (!problem.empty() || json.checks.size() != 1) {
    ADD_FAILURE() << "no task finding (" << problem << ") in: " << run.output << run.error;
    return {};
  }
  return json.checks[0];
}

// Nothing of the package stays: no product, folder, record, event source or task.
void ExpectNothingInstalled() {
  EXPECT_THAT(InstalledProducts(), ::testing::IsEmpty());
  EXPECT_FALSE(e2e::PathExists(kVendorFolder));
  EXPECT_FALSE(e2e::KeyExists(HKEY_LOCAL_MACHINE, kInstallerKey));
  EXPECT_FALSE(e2e::KeyExists(HKEY_LOCAL_MACHINE, kEventSourceKey));
  EXPECT_THAT(RegisteredTasks(), ::testing::IsEmpty());
}

// Uninstalls every installed product, so each test starts from a clean machine.
void RemoveEveryProduct() {
  for (const auto& product : InstalledProducts()) {
    RunSystemTool(L"msiexec.exe", L"/x " + product.first + L" /qn");
  }
}

class MsiPackage : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveEveryProduct();
    // What a failed install leaves under Wine (see kRolledBack) goes too.
    for (const std::wstring& task : RegisteredTasks()) {
      RunSystemTool(L"schtasks.exe", L"/Delete /TN \"" + task + L"\" /F");
    }
    e2e::DeleteKeyTree(HKEY_LOCAL_MACHINE, kInstallerKey);
    e2e::DeleteKeyTree(HKEY_LOCAL_MACHINE, kEventSourceKey);
    e2e::RemoveTree(kVendorFolder);
    e2e::RemoveTree(kOtherFolder);
    e2e::MakeFreshFolder(kLogFolder);
  }
  void TearDown() override { RemoveEveryProduct(); }
};

// What msiexec did in a step of a sequence, and so what it leaves.
enum Outcome {
  kInstalled,         // a runnable install of LSS_VERSION (ExpectARunnableInstall)
  kRebuilt,           // the same, with the rebuild's README
  kUpgradedToNext,    // a runnable install of LSS_NEXT_VERSION
  kDowngradeRefused,  // a failure that leaves the next version as it was
  kRemoved,           // nothing of the package stays (ExpectNothingInstalled)
  kRefused,           // a failure after which nothing of the package stays
  // A failure after the task step: the task, the package's record of it and
  // of the folder, and the event source are as before (ExpectTheRecordOf).
  // The files are not compared: Wine runs the removal of the upgraded
  // version (RemoveExistingProducts) as an msiexec of its own that is not
  // rolled back, and its rollback removes the files of an installed build.
  kRolledBack,
  // Wine only, the uninstall after a failed upgrade: the upgraded version is
  // gone (see kRolledBack), so no installed component owns the record that
  // the rollback wrote back. The uninstall deletes the recorded task and the
  // files; the record's and the event source's keys stay. On Windows the
  // rollback reinstates that version and this step is kRemoved.
  kRemovedAfterWinesFailedUpgrade,
};

struct Step {
  const wchar_t* arguments;  // msiexec's
  const wchar_t* task;       // the one task registered afterwards; empty: none
  Outcome outcome;
  const char* logShows = nullptr;          // a failure's verbose log: what failed
  const wchar_t* folder = kDefaultFolder;  // where an install puts the files
  // kRolledBack under Wine, where it differs from `task`: the tasks it leaves.
  const Tasks* wineLeaves = nullptr;
};

struct SequenceCase {
  const char* what;
  std::vector<Step> steps;
};

// One product of the version the variable names installed in `folder`, with
// the program of that version, the check tool, the kit, the event source,
// `task` registered and recorded, and its entry in Add/Remove Programs.
void ExpectARunnableInstall(const std::wstring& folder, const wchar_t* variable,
                            const std::wstring& task) {
  const std::wstring version = e2e::PathFromEnvironment(variable);
  const std::map<std::wstring, std::wstring> products = InstalledProducts();
  ASSERT_EQ(products.size(), 1u);
  EXPECT_EQ(products.begin()->second, version);
  EXPECT_TRUE(e2e::PathExists(folder + L"\\README.md"));
  const std::wstring exe = folder + L"\\LSScheduler.exe";
  EXPECT_EQ(ReadVersionFacts(exe)[L"FileVersion"], VersionQuad(version));

  // The check tool beside it, this build's in every package, says its version itself.
  const std::wstring check = folder + L"\\LSSchedulerCheck.exe";
  ASSERT_TRUE(e2e::PathExists(check));
  EXPECT_EQ(e2e::RunCapturingOutput(check, L"--version", kLogFolder, 30s).output,
            "LSSchedulerCheck " +
                e2e::ToUtf8(VersionQuad(e2e::PathFromEnvironment(L"LSS_VERSION"))) + "\r\n");

  // The deployment kit as it is in the sources.
  EXPECT_EQ(e2e::FolderContents(folder + L"\\deploy"),
            e2e::FolderContents(e2e::PathFromEnvironment(L"LSS_DEPLOY")));

  // The check tool's event source, for every user's events.
  EXPECT_EQ(e2e::ReadValue(HKEY_LOCAL_MACHINE, kEventSourceKey, L"EventMessageFile"),
            RegValue::ExpandSz(check));
  EXPECT_EQ(e2e::ReadValue(HKEY_LOCAL_MACHINE, kEventSourceKey, L"TypesSupported"),
            RegValue::Dword(7));

  // The task, and the package's record of it.
  EXPECT_EQ(RegisteredTasks(), task.empty() ? Tasks{} : Tasks{task});
  EXPECT_EQ(e2e::ReadValue(HKEY_LOCAL_MACHINE, kInstallerKey, L"TaskName"), RegValue::Sz(task));

  // Without --task the check reads the task the package recorded, else the
  // default name; --task wins over both.
  const e2e::CheckJsonEntry recorded = TaskFinding(check, L"");
  if (task.empty()) {
    EXPECT_THAT(recorded.message, ::testing::HasSubstr("There is no task \"Larkspan Nightly\""));
  } else {
    EXPECT_EQ(recorded.Detail("task"), e2e::ToUtf8(task));
    EXPECT_THAT(recorded.message, ::testing::Not(::testing::HasSubstr("There is no task")));
  }
  EXPECT_THAT(TaskFinding(check, L"--task \"Brinmoor Other Task\"").message,
              ::testing::HasSubstr("There is no task \"Brinmoor Other Task\""));

  // Started with no options, the installed program writes the hand-off values.
  e2e::DeleteKeyTree(HKEY_CURRENT_USER, kLarkspanKey);
  EXPECT_EQ(e2e::RunProgram(exe, L"", 60s).exitCode, 0u);
  EXPECT_EQ(e2e::ReadValue(HKEY_CURRENT_USER, kAdminOptionsKey, L"TaskName"), RegValue::Sz(L""));
  EXPECT_EQ(e2e::ReadValue(HKEY_CURRENT_USER, kAdminOptionsKey, L"TaskRun"), RegValue::Dword(1));
  EXPECT_EQ(e2e::ReadValue(HKEY_CURRENT_USER, kAdminOptionsKey, L"AutoRunExit"),
            RegValue::Dword(0));

  // Add/Remove Programs: one entry under the programs' product name, no
  // "Change" or "Repair", the guide as its help.
  const std::wstring entry = kUninstallKey + products.begin()->first;
  EXPECT_EQ(e2e::ReadValue(HKEY_LOCAL_MACHINE, entry, L"DisplayName"),
            RegValue::Sz(L"LSScheduler"));
  EXPECT_EQ(ReadVersionFacts(exe)[L"ProductName"], L"LSScheduler");
  EXPECT_EQ(e2e::ReadValue(HKEY_LOCAL_MACHINE, entry, L"Publisher"), RegValue::Sz(L"Brinmoor"));
  EXPECT_EQ(e2e::ReadValue(HKEY_LOCAL_MACHINE, entry, L"NoModify"), RegValue::Dword(1));
  EXPECT_EQ(e2e::ReadValue(HKEY_LOCAL_MACHINE, entry, L"NoRepair"), RegValue::Dword(1));
  EXPECT_EQ(e2e::ReadValue(HKEY_LOCAL_MACHINE, entry, L"HelpLink"),
            RegValue::Sz(folder + L"\\README.md"));
}

// What a failed install or upgrade must leave as it found: the task, the
// package's record of it and of the folder, and the event source there.
void ExpectTheRecordOf(const std::wstring& folder, const std::wstring& task,
                       const Tasks* wineLeaves) {
  EXPECT_EQ(RegisteredTasks(), wineLeaves != nullptr ? *wineLeaves
                               : task.empty()        ? Tasks{}
                                                     : Tasks{task});
  EXPECT_EQ(e2e::ReadValue(HKEY_LOCAL_MACHINE, kInstallerKey, L"TaskName"), RegValue::Sz(task));
  EXPECT_EQ(e2e::ReadValue(HKEY_LOCAL_MACHINE, kInstallerKey, L"InstallFolder"),
            RegValue::Sz(folder + L"\\"));
  EXPECT_EQ(e2e::ReadValue(HKEY_LOCAL_MACHINE, kEventSourceKey, L"EventMessageFile"),
            RegValue::ExpandSz(folder + L"\\LSSchedulerCheck.exe"));
  EXPECT_EQ(e2e::ReadValue(HKEY_LOCAL_MACHINE, kEventSourceKey, L"TypesSupported"),
            RegValue::Dword(7));
}

class MsiSequence : public MsiPackage, public ::testing::WithParamInterface<SequenceCase> {};

TEST_P(MsiSequence, EachStepLeavesARunnableInstallItsTaskOrNothing) {
  std::wstring folder;  // of the last install
  for (const Step& step : GetParam().steps) {
    SCOPED_TRACE(e2e::ToUtf8(step.arguments));
    const Outcome outcome = step.outcome;
    if (outcome == kInstalled) folder = step.folder;
    const DWORD code = Msiexec(step.arguments);
    if (outcome == kDowngradeRefused || outcome == kRefused || outcome == kRolledBack) {
      // ERROR_INSTALL_FAILURE, as Windows Installer documents it; Wine 8's
      // msiexec answers ERROR_FUNCTION_FAILED for a failed custom action.
      EXPECT_THAT(code, ::testing::AnyOf(1603u, 1627u));
    } else {
      ASSERT_EQ(code, 0u);
    }
    if (step.logShows != nullptr) {
      const std::wstring log = std::wstring(kLogFolder) + L"\\msiexec.log";
      EXPECT_TRUE(std::regex_search(e2e::ReadFileBytes(log), std::regex(step.logShows)))
          << "no " << step.logShows << " in the verbose log";
    }
    const bool next = outcome == kUpgradedToNext || outcome == kDowngradeRefused;
    if (outcome == kRolledBack) {
      ExpectTheRecordOf(folder, step.task, step.wineLeaves);
    } else if (outcome == kRemovedAfterWinesFailedUpgrade) {
      EXPECT_THAT(InstalledProducts(), ::testing::IsEmpty());
      EXPECT_FALSE(e2e::PathExists(folder)) << e2e::ToUtf8(folder);
      EXPECT_THAT(RegisteredTasks(), ::testing::IsEmpty());
    } else if (outcome == kRemoved || outcome == kRefused) {
      EXPECT_TRUE(folder.empty() || !e2e::PathExists(folder)) << e2e::ToUtf8(folder);
      ExpectNothingInstalled();
    } else {
      ExpectARunnableInstall(folder, next ? L"LSS_NEXT_VERSION" : L"LSS_VERSION", step.task);
    }
    if (outcome == kRebuilt) {
      EXPECT_EQ(e2e::ReadFileBytes(folder + L"\\README.md"),
                "The README of a rebuild of the same version.\n");
    }
  }
}

constexpr wchar_t kTestRun[] = L"LSScheduler Test Run";
// Wine's removal of the upgraded version is not told it is part of an upgrade
// (no UPGRADINGPRODUCTCODE), so it deletes the recorded task; Wine's rollback
// removes the template before the rollback actions run, so the task cannot be
// registered again. On Windows the removal keeps the task and it stays.
const Tasks kWineLosesTheTask{};

const SequenceCase kSequences[] = {
    // Installs a runnable program and removes it without trace.
    {.what = "ProgramFiles",
     .steps = {{.arguments = L"/i {LSS_MSI}", .task = L"", .outcome = kInstalled},
               {.arguments = L"/x {LSS_MSI}", .task = L"", .outcome = kRemoved}}},
    {.what = "Overridden",
     .steps = {{.arguments = L"/i {LSS_MSI} INSTALLFOLDER=\"C:\\Admin Tools\\Larkspan\"",
                .task = L"",
                .outcome = kInstalled,
                .folder = kOtherFolder},
               {.arguments = L"/x {LSS_MSI}", .task = L"", .outcome = kRemoved}}},
    // Group Policy's way: no properties, the transform of the same build.
    {.what = "ScheduledByTheTransform",
     .steps = {{.arguments = L"/i {LSS_MSI} TRANSFORMS={LSS_SCHEDULE_MST}",
                .task = L"Larkspan Nightly",
                .outcome = kInstalled},
               {.arguments = L"/x {LSS_MSI}", .task = L"", .outcome = kRemoved}}},
    {.what = "UpgradeInPlaceThenRefuseADowngrade",
     .steps = {{.arguments = L"/i {LSS_MSI}", .task = L"", .outcome = kInstalled},
               {.arguments = L"/i {LSS_NEXT_MSI}", .task = L"", .outcome = kUpgradedToNext},
               // The older package over the newer one: refused, the newer one stays.
               {.arguments = L"/i {LSS_MSI}", .task = L"", .outcome = kDowngradeRefused},
               {.arguments = L"/x {LSS_NEXT_MSI}", .task = L"", .outcome = kRemoved}}},
    {.what = "UpgradeToARebuildOfTheSameVersionKeepsTheTask",
     .steps = {{.arguments = L"/i {LSS_MSI} SCHEDULE=1 TASKNAME=\"LSScheduler Test Run\"",
                .task = kTestRun,
                .outcome = kInstalled},
               // No properties: the upgrade registers the same task again.
               {.arguments = L"/i {LSS_REBUILD_MSI}", .task = kTestRun, .outcome = kRebuilt},
               {.arguments = L"/x {LSS_REBUILD_MSI}", .task = L"", .outcome = kRemoved}}},
    {.what = "ScheduleOnTheInstalledBuild",
     .steps = {{.arguments = L"/i {LSS_MSI}", .task = L"", .outcome = kInstalled},
               {.arguments = L"/i {LSS_MSI} SCHEDULE=1",
                .task = L"Larkspan Nightly",
                .outcome = kInstalled},
               // Another name: the recorded task makes way for it.
               {.arguments = L"/i {LSS_MSI} SCHEDULE=1 TASKNAME=\"LSScheduler Test Run\"",
                .task = kTestRun,
                .outcome = kInstalled},
               {.arguments = L"/i {LSS_MSI} SCHEDULE=0", .task = L"", .outcome = kInstalled}}},
    // The upgrade registers the recorded task again, under the same name;
    // the uninstall after the failure removes that task and nothing else stays.
    {.what = "FailedUpgradeKeepsTheTask",
     .steps = {{.arguments = L"/i {LSS_MSI} SCHEDULE=1 TASKNAME=\"LSScheduler Test Run\"",
                .task = kTestRun,
                .outcome = kInstalled},
               {.arguments = L"/i {LSS_REBUILD_MSI} LSS_TEST_FAIL_AFTER_TASK=1",
                .task = kTestRun,
                .outcome = kRolledBack},
               {.arguments = L"/x {LSS_MSI}",
                .task = L"",
                .outcome = kRemovedAfterWinesFailedUpgrade}}},
    // An upgrade to a name the task service refuses: the record keeps the old name.
    {.what = "FailedUpgradeToABadNameKeepsTheRecord",
     .steps = {{.arguments = L"/i {LSS_MSI} SCHEDULE=1",
                .task = L"Larkspan Nightly",
                .outcome = kInstalled},
               {.arguments = L"/i {LSS_REBUILD_MSI} SCHEDULE=1 TASKNAME=\"Bad|Name\"",
                .task = L"Larkspan Nightly",
                .outcome = kRolledBack,
                .logShows = R"(RegisterScheduledTask\. Return value [^1])",
                .folder = kDefaultFolder,
                .wineLeaves = &kWineLosesTheTask},
               {.arguments = L"/x {LSS_MSI}",
                .task = L"",
                .outcome = kRemovedAfterWinesFailedUpgrade}}},
    // The installed build deletes the recorded task for another name.
    {.what = "FailedRenameOnTheInstalledBuildKeepsTheTask",
     .steps = {{.arguments = L"/i {LSS_MSI} SCHEDULE=1",
                .task = L"Larkspan Nightly",
                .outcome = kInstalled},
               {.arguments = L"/i {LSS_MSI} SCHEDULE=1 TASKNAME=\"LSScheduler Test Run\" "
                             L"LSS_TEST_FAIL_AFTER_TASK=1",
                .task = L"Larkspan Nightly",
                .outcome = kRolledBack},
               {.arguments = L"/i {LSS_MSI} SCHEDULE=1 TASKNAME=\"Bad|Name\"",
                .task = L"Larkspan Nightly",
                .outcome = kRolledBack,
                .logShows = R"(RegisterScheduledTask\. Return value [^1])"},
               {.arguments = L"/x {LSS_MSI}", .task = L"", .outcome = kRemoved}}},
    // Refused or failed: nothing of it stays, not even a task. The
    // template's action names the default folder.
    {.what = "ScheduledElsewhere",
     .steps = {{.arguments = L"/i {LSS_MSI} SCHEDULE=1 INSTALLFOLDER=\"C:\\Admin Tools\\Larkspan\"",
                .task = L"",
                .outcome = kRefused,
                .logShows = R"(LaunchConditions\. Return value [^1])"}}},
    // A name the task service refuses.
    {.what = "RegistrationFails",
     .steps = {{.arguments = L"/i {LSS_MSI} SCHEDULE=1 TASKNAME=\"Bad|Name\"",
                .task = L"",
                .outcome = kRefused,
                .logShows = R"(RegisterScheduledTask\. Return value [^1])"}}},
    // Rolled back after the task was registered: the task goes too.
    {.what = "FailsAfterTheTask",
     .steps = {{.arguments = L"/i {LSS_MSI} SCHEDULE=1 LSS_TEST_FAIL_AFTER_TASK=1",
                .task = L"",
                .outcome = kRefused,
                .logShows = R"(LssTestFailAfterTask\. Return value [^1])"}}},
};

INSTANTIATE_TEST_SUITE_P(, MsiSequence, ::testing::ValuesIn(kSequences), lss::test::RowName);

// What the package's tables say to a managed install and to inventory tools;
// what the transform says it is for, and what it changes.
TEST_F(MsiPackage, TablesListTheSecurePropertiesTheProgramsVersionsAndTheTransformsPackage) {
  const std::wstring msi = e2e::PathFromEnvironment(L"LSS_MSI");
  const auto properties = QueryPackage(msi, L"SELECT `Property`, `Value` FROM `Property`");
  std::vector<std::wstring> secure;
  std::wstringstream list(properties.at(L"SecureCustomProperties"));
  for (std::wstring name; std::getline(list, name, L';');) secure.push_back(name);
  EXPECT_THAT(secure, ::testing::IsSupersetOf(
                          {L"INSTALLFOLDER", L"SCHEDULE", L"TASKNAME", L"WIX_UPGRADE_DETECTED"}));

  const auto versions = QueryPackage(msi, L"SELECT `File`, `Version` FROM `File`");
  for (const auto& [file, program] : {std::pair{L"LSSchedulerExe", L"LSS_EXE"},
                                      std::pair{L"LSSchedulerCheckExe", L"LSS_CHECK_EXE"}}) {
    const std::wstring resource =
        ReadVersionFacts(e2e::PathFromEnvironment(program))[L"fixed FileVersion"];
    ASSERT_FALSE(resource.empty()) << e2e::ToUtf8(program);
    EXPECT_EQ(versions.at(file), resource) << e2e::ToUtf8(file);
  }

  // Made for this package (its product code, version and upgrade code), it
  // adds SCHEDULE=1 and changes nothing else of the Property table.
  const std::wstring mst = e2e::PathFromEnvironment(L"LSS_SCHEDULE_MST");
  const std::wstring product = properties.at(L"ProductCode") + properties.at(L"ProductVersion");
  EXPECT_EQ(SummaryProperty(mst, kRevisionNumber),
            product + L";" + product + L";" + properties.at(L"UpgradeCode"));
  // Validation: product code, a.b.c version, equal to the base, upgrade code.
  EXPECT_EQ(SummaryProperty(mst, kCharacterCount), std::to_wstring(0x0922 << 16));
  auto transformed = QueryPackage(msi, L"SELECT `Property`, `Value` FROM `Property`", mst);
  EXPECT_EQ(transformed[L"SCHEDULE"], L"1");
  transformed.erase(L"SCHEDULE");
  EXPECT_TRUE(transformed == properties);
}

// Every custom action the release package holds: what it does and why it is
// there. A new one fails the test until it is listed here with its reason.
struct ShippedAction {
  const wchar_t* action;
  const char* why;
};

const ShippedAction kShippedActions[] = {
    {L"UseSavedInstallFolder", "upgrades and removal find the folder of the first install"},
    {L"KeepSchedule", "an upgrade keeps the task the installed version registered"},
    {L"KeepTaskName", "... under the name it was registered with"},
    {L"DefaultTaskName", "\"Larkspan Nightly\" when no name is given"},
    {L"SetHelpLink", "Add/Remove Programs' help: the installed guide"},
    {L"SetReadme", "Add/Remove Programs' readme: the installed guide"},
    {L"SetInstallLocation", "Add/Remove Programs' location: the folder"},
    {L"SetSchtasks", "the full path of schtasks.exe for the task actions"},
    {L"RecordTaskName", "the task this install registers, for the record"},
    {L"KeepTaskRecord", "an installed build changed without SCHEDULE keeps its record"},
    {L"SetReg", "the full path of reg.exe for the record actions"},
    {L"RestoreFolderRecord", "rollback: the installed version's InstallFolder"},
    {L"RestoreTaskNameRecord", "rollback: the installed version's TaskName"},
    {L"RestoreEventSourceFile", "rollback: the event source's message file"},
    {L"RestoreEventSourceTypes", "rollback: the event source's types"},
    {L"RestoreScheduledTask", "rollback: the recorded task that the removal deleted"},
    {L"DeleteScheduledTask", "removal (not by an upgrade): the recorded task goes"},
    {L"RestoreReplacedTask", "rollback: the recorded task given up below"},
    {L"DeleteReplacedTask", "SCHEDULE=0 or a new name: the recorded task goes, after the new one"},
    {L"RestoreSavedTask", "rollback of an upgrade: the task its removal deleted"},
    {L"UnregisterScheduledTask", "rollback: the task this install registered"},
    {L"RegisterScheduledTask", "SCHEDULE=1: the task from the installed template"},
    {L"RewriteTaskRecord", "SCHEDULE on an installed build: the record of the task"},
};

// The text in lower case: a name is found however the package spells it.
std::wstring Lowered(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(::towlower(c));
  return text;
}

// The release package runs nothing through cmd.exe and reads no test property;
// the test build carries its fault action and nothing else beyond it.
TEST_F(MsiPackage, ReleaseCarriesOnlyTheListedCustomActionsAndNoTestHook) {
  const std::wstring release = e2e::PathFromEnvironment(L"LSS_RELEASE_MSI");
  const auto actions = QueryPackage(release, L"SELECT `Action`, `Target` FROM `CustomAction`");
  std::vector<std::wstring> held;
  for (const auto& [action, target] : actions) {
    held.push_back(action);
    EXPECT_THAT(Lowered(target), Not(HasSubstr(L"cmd.exe"))) << e2e::ToUtf8(action);
    EXPECT_THAT(Lowered(target), Not(HasSubstr(L"lss_test"))) << e2e::ToUtf8(action);
  }
  std::vector<std::wstring> listed;
  for (const ShippedAction& row : kShippedActions) listed.push_back(row.action);
  EXPECT_THAT(held, ::testing::UnorderedElementsAreArray(listed));
  for (const wchar_t* sequence : {L"SELECT `Action`, `Condition` FROM `InstallExecuteSequence`",
                                  L"SELECT `Action`, `Condition` FROM `InstallUISequence`"}) {
    for (const auto& [action, condition] : QueryPackage(release, sequence)) {
      EXPECT_THAT(Lowered(condition), Not(HasSubstr(L"lss_test"))) << e2e::ToUtf8(action);
    }
  }

  const auto testBuild = QueryPackage(e2e::PathFromEnvironment(L"LSS_MSI"),
                                      L"SELECT `Action`, `Target` FROM `CustomAction`");
  std::vector<std::wstring> extra;
  for (const auto& entry : testBuild) {
    if (actions.count(entry.first) == 0) extra.push_back(entry.first);
  }
  EXPECT_THAT(extra, ::testing::UnorderedElementsAre(L"SetTestFailure", L"LssTestFailAfterTask"));
}

}  // namespace
}  // namespace package_test
