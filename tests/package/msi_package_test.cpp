// The MSI under Wine's Windows Installer: where it installs, what the
// installed program does, what Add/Remove Programs shows, the task and the
// event source it registers, the Group Policy transform, upgrades, rebuilds,
// downgrades, removal and rollback; and what its tables say.
#include <windows.h>

#include <msi.h>
#include <msiquery.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>
#include <utility>

#include "harness/process_runner.h"
#include "harness/scratch_files.h"
#include "harness/test_registry.h"
#include "harness/text.h"
#include "installer.h"
#include "version_info.h"

namespace package_test {
namespace {

using namespace std::chrono_literals;
using e2e::RegValue;

constexpr wchar_t kDefaultFolder[] = L"C:\\Program Files\\Brinmoor\\LSScheduler";
constexpr wchar_t kVendorFolder[] = L"C:\\Program Files\\Brinmoor";
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

std::wstring Environment(const wchar_t* name) {
  const wchar_t* value = _wgetenv(name);
  return value != nullptr ? value : L"";
}

// The transform's path, known only at run time, stands as {schedule.mst} in
// the properties.
DWORD Install(const std::wstring& msi, std::wstring_view properties = L"",
              std::wstring_view log = L"") {
  std::wstring arguments = L"/i \"" + msi + L"\" /qn";
  std::wstring given(properties);
  const std::wstring token = L"{schedule.mst}";
  if (const size_t at = given.find(token); at != std::wstring::npos) {
    given.replace(at, token.size(), e2e::PathFromEnvironment(L"LSS_SCHEDULE_MST"));
  }
  if (!given.empty()) arguments += L" " + given;
  if (!log.empty()) arguments += L" /l*v \"" + std::wstring(log) + L"\"";
  return RunSystemTool(L"msiexec.exe", arguments);
}

// Every file below `folder`, by its path relative to it, with its bytes.
std::map<std::wstring, std::string> FilesBelow(const std::wstring& folder) {
  std::map<std::wstring, std::string> files;
  std::error_code error;
  for (auto it = std::filesystem::recursive_directory_iterator(folder, error);
       !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
    if (it->is_regular_file()) {
      files[std::filesystem::relative(it->path(), folder).wstring()] =
          e2e::ReadFileBytes(it->path().wstring());
    }
  }
  return files;
}

std::vector<std::string> FileNames(const std::map<std::wstring, std::string>& files) {
  std::vector<std::string> names;
  for (const auto& file : files) names.push_back(e2e::ToUtf8(file.first));
  return names;
}

std::vector<std::string> RegisteredTasks() {
  std::vector<std::string> names;
  for (const std::wstring& name : e2e::FileNamesIn(kTasksFolder)) {
    names.push_back(e2e::ToUtf8(name));
  }
  return names;
}

// The installed check tool's `task` finding, as JSON.
nlohmann::json TaskFinding(const std::wstring& check, std::wstring_view moreArguments) {
  const e2e::CapturedRun run = e2e::RunCapturingOutput(
      check, L"--only task --json " + std::wstring(moreArguments), kLogFolder, 30s);
  const nlohmann::json json = nlohmann::json::parse(run.output, nullptr, false);
  if (json.is_discarded() || !json.contains("checks") || json["checks"].size() != 1) {
    ADD_FAILURE() << "no task finding in: " << run.output << run.error;
    return nlohmann::json::object();
  }
  return json["checks"][0];
}

class MsiPackage : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveEveryProduct();
    // What a failed install leaves under Wine (see MsiRollback) goes too.
    for (const std::string& task : RegisteredTasks()) {
      RunSystemTool(L"schtasks.exe", L"/Delete /TN \"" + e2e::FromUtf8(task) + L"\" /F");
    }
    e2e::DeleteKeyTree(HKEY_LOCAL_MACHINE, kInstallerKey);
  }
  void TearDown() override { RemoveEveryProduct(); }

  const std::wstring msi_ = e2e::PathFromEnvironment(L"LSS_MSI");
  const std::wstring nextMsi_ = e2e::PathFromEnvironment(L"LSS_NEXT_MSI");
};

struct InstallCase {
  const char* name;
  const wchar_t* properties;  // added to msiexec's command line
  const wchar_t* folder;      // where the files must land; null: the install must fail
  const char* task;           // the task registered; null: none
  const char* logShows;       // a failed install's verbose log: what failed
};

class MsiInstall : public MsiPackage, public ::testing::WithParamInterface<InstallCase> {};

TEST_P(MsiInstall, InstallsARunnableProgramAndRemovesItWithoutTrace) {
  const InstallCase& row = GetParam();
  e2e::MakeFreshFolder(kLogFolder);
  const std::wstring log = std::wstring(kLogFolder) + L"\\install.log";
  if (row.folder == nullptr) {
    // Refused or failed: nothing of it stays, not even a task.
    EXPECT_NE(Install(msi_, row.properties, log), 0u);
    EXPECT_TRUE(std::regex_search(e2e::ReadFileBytes(log), std::regex(row.logShows)))
        << "no " << row.logShows << " in the verbose log";
    EXPECT_THAT(InstalledProducts(), ::testing::IsEmpty());
    EXPECT_FALSE(e2e::PathExists(kVendorFolder));
    EXPECT_FALSE(e2e::KeyExists(HKEY_LOCAL_MACHINE, kInstallerKey));
    EXPECT_FALSE(e2e::KeyExists(HKEY_LOCAL_MACHINE, kEventSourceKey));
    EXPECT_THAT(RegisteredTasks(), ::testing::IsEmpty());
    return;
  }
  const std::wstring folder = row.folder;
  e2e::RemoveTree(folder);

  ASSERT_EQ(Install(msi_, row.properties, log), 0u);
  EXPECT_TRUE(e2e::PathExists(folder + L"\\README.md"));
  const std::wstring exe = folder + L"\\LSScheduler.exe";
  ASSERT_TRUE(e2e::PathExists(exe));
  EXPECT_EQ(e2e::ToUtf8(ReadVersionFacts(exe)[L"FileVersion"]),
            e2e::ToUtf8(VersionQuad(Environment(L"LSS_VERSION"))));

  // The check tool beside it, of the same version, says so itself.
  const std::wstring check = folder + L"\\LSSchedulerCheck.exe";
  ASSERT_TRUE(e2e::PathExists(check));
  EXPECT_EQ(e2e::RunCapturingOutput(check, L"--version", kLogFolder, 30s).output,
            "LSSchedulerCheck " + e2e::ToUtf8(VersionQuad(Environment(L"LSS_VERSION"))) + "\r\n");

  // The deployment kit as it is in the sources.
  const auto kit = FilesBelow(e2e::PathFromEnvironment(L"LSS_DEPLOY"));
  const auto installedKit = FilesBelow(folder + L"\\deploy");
  EXPECT_THAT(FileNames(installedKit), ::testing::ElementsAreArray(FileNames(kit)));
  EXPECT_TRUE(installedKit == kit);

  // The check tool's event source, for every user's events.
  EXPECT_EQ(e2e::ReadValue(HKEY_LOCAL_MACHINE, kEventSourceKey, L"EventMessageFile"),
            RegValue::ExpandSz(check));
  EXPECT_EQ(e2e::ReadValue(HKEY_LOCAL_MACHINE, kEventSourceKey, L"TypesSupported"),
            RegValue::Dword(7));

  // The task, and the package's record of it.
  const std::string task = row.task != nullptr ? row.task : "";
  EXPECT_EQ(RegisteredTasks(), task.empty() ? std::vector<std::string>{} : std::vector{task});
  EXPECT_EQ(e2e::ReadValue(HKEY_LOCAL_MACHINE, kInstallerKey, L"TaskName"),
            RegValue::Sz(e2e::FromUtf8(task)));

  // Without --task the check reads the task the package recorded, else the
  // default name; --task wins over both.
  const nlohmann::json recorded = TaskFinding(check, L"");
  if (task.empty()) {
    EXPECT_THAT(recorded.value("message", ""),
                ::testing::HasSubstr("There is no task \"Larkspan Nightly\""));
  } else {
    EXPECT_EQ(recorded.value("details", nlohmann::json::object()).value("task", ""), task);
    EXPECT_THAT(recorded.value("message", ""), ::testing::Not(::testing::HasSubstr("There is no task")));
  }
  EXPECT_THAT(TaskFinding(check, L"--task \"Brinmoor Other Task\"").value("message", ""),
              ::testing::HasSubstr("There is no task \"Brinmoor Other Task\""));

  // Started with no options, the installed program writes the hand-off values.
  e2e::DeleteKeyTree(HKEY_CURRENT_USER, kLarkspanKey);
  EXPECT_EQ(e2e::RunProgram(exe, L"", 60s).exitCode, 0u);
  EXPECT_EQ(e2e::ReadValue(HKEY_CURRENT_USER, kAdminOptionsKey, L"TaskName"), RegValue::Sz(L""));
  EXPECT_EQ(e2e::ReadValue(HKEY_CURRENT_USER, kAdminOptionsKey, L"TaskRun"), RegValue::Dword(1));
  EXPECT_EQ(e2e::ReadValue(HKEY_CURRENT_USER, kAdminOptionsKey, L"AutoRunExit"), RegValue::Dword(0));

  // Add/Remove Programs: one entry under the programs' product name, no
  // "Change", the guide as its help.
  const std::vector<std::wstring> products = InstalledProducts();
  ASSERT_EQ(products.size(), 1u);
  const std::wstring entry = kUninstallKey + products[0];
  EXPECT_EQ(e2e::ReadValue(HKEY_LOCAL_MACHINE, entry, L"DisplayName"),
            RegValue::Sz(L"LSScheduler"));
  EXPECT_EQ(e2e::ToUtf8(ReadVersionFacts(exe)[L"ProductName"]), "LSScheduler");
  EXPECT_EQ(e2e::ReadValue(HKEY_LOCAL_MACHINE, entry, L"Publisher"), RegValue::Sz(L"Brinmoor"));
  EXPECT_EQ(e2e::ReadValue(HKEY_LOCAL_MACHINE, entry, L"NoModify"), RegValue::Dword(1));
  EXPECT_EQ(e2e::ReadValue(HKEY_LOCAL_MACHINE, entry, L"HelpLink"),
            RegValue::Sz(folder + L"\\README.md"));

  ASSERT_EQ(RunSystemTool(L"msiexec.exe", L"/x \"" + msi_ + L"\" /qn"), 0u);
  EXPECT_FALSE(e2e::PathExists(exe));
  EXPECT_FALSE(e2e::PathExists(check));
  EXPECT_FALSE(e2e::PathExists(folder));
  EXPECT_FALSE(e2e::PathExists(kVendorFolder));
  EXPECT_FALSE(e2e::KeyExists(HKEY_LOCAL_MACHINE, kInstallerKey));
  EXPECT_FALSE(e2e::KeyExists(HKEY_LOCAL_MACHINE, kEventSourceKey));
  EXPECT_THAT(RegisteredTasks(), ::testing::IsEmpty());
  EXPECT_THAT(InstalledProducts(), ::testing::IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Folders, MsiInstall,
    ::testing::Values(
        InstallCase{"ProgramFiles", L"", kDefaultFolder, nullptr, nullptr},
        InstallCase{"Overridden", L"INSTALLFOLDER=\"C:\\Admin Tools\\Larkspan\"",
                    L"C:\\Admin Tools\\Larkspan", nullptr, nullptr},
        InstallCase{"Scheduled", L"SCHEDULE=1", kDefaultFolder, "Larkspan Nightly", nullptr},
        InstallCase{"ScheduledUnderItsOwnName", L"SCHEDULE=1 TASKNAME=\"Brinmoor Sync Test\"",
                    kDefaultFolder, "Brinmoor Sync Test", nullptr},
        // Group Policy's way: no properties, the transform of the same build.
        InstallCase{"ScheduledByTheTransform", L"TRANSFORMS=\"{schedule.mst}\"", kDefaultFolder,
                    "Larkspan Nightly", nullptr},
        // The template's action names the default folder.
        InstallCase{"ScheduledElsewhere", L"SCHEDULE=1 INSTALLFOLDER=\"C:\\Admin Tools\\Larkspan\"",
                    nullptr, nullptr, R"(LaunchConditions\. Return value [^1])"},
        // A name the task service refuses.
        InstallCase{"RegistrationFails", L"SCHEDULE=1 TASKNAME=\"Bad|Name\"", nullptr, nullptr,
                    R"(RegisterScheduledTask\. Return value [^1])"},
        // Rolled back after the task was registered: the task goes too.
        InstallCase{"FailsAfterTheTask", L"SCHEDULE=1 LSS_TEST_FAIL_AFTER_TASK=1", nullptr, nullptr,
                    R"(LssTestFailAfterTask\. Return value [^1])"}),
    [](const ::testing::TestParamInfo<InstallCase>& row) { return std::string(row.param.name); });

TEST_F(MsiPackage, MsiUpgradeReplacesTheOlderVersionInPlaceAndRefusesADowngrade) {
  const std::wstring exe = std::wstring(kDefaultFolder) + L"\\LSScheduler.exe";
  const std::wstring next = Environment(L"LSS_NEXT_VERSION");
  ASSERT_EQ(Install(msi_), 0u);

  ASSERT_EQ(Install(nextMsi_), 0u);
  std::vector<std::wstring> products = InstalledProducts();
  ASSERT_EQ(products.size(), 1u);
  EXPECT_EQ(e2e::ToUtf8(ProductProperty(products[0], INSTALLPROPERTY_VERSIONSTRING)),
            e2e::ToUtf8(next));
  EXPECT_EQ(e2e::ToUtf8(ReadVersionFacts(exe)[L"FileVersion"]), e2e::ToUtf8(VersionQuad(next)));

  // The older package over the newer one: refused, the newer one stays.
  EXPECT_NE(Install(msi_), 0u);
  products = InstalledProducts();
  ASSERT_EQ(products.size(), 1u);
  EXPECT_EQ(e2e::ToUtf8(ProductProperty(products[0], INSTALLPROPERTY_VERSIONSTRING)),
            e2e::ToUtf8(next));
  EXPECT_EQ(e2e::ToUtf8(ReadVersionFacts(exe)[L"FileVersion"]), e2e::ToUtf8(VersionQuad(next)));

  ASSERT_EQ(RunSystemTool(L"msiexec.exe", L"/x \"" + nextMsi_ + L"\" /qn"), 0u);
  EXPECT_FALSE(e2e::PathExists(kDefaultFolder));
  EXPECT_FALSE(e2e::PathExists(kVendorFolder));
}

TEST_F(MsiPackage, MsiUpgradeReplacesARebuildOfTheSameVersionAndKeepsItsTask) {
  const std::wstring readme = std::wstring(kDefaultFolder) + L"\\README.md";
  const std::wstring rebuild = e2e::PathFromEnvironment(L"LSS_REBUILD_MSI");
  ASSERT_EQ(Install(msi_, L"SCHEDULE=1 TASKNAME=\"LSScheduler Test Run\""), 0u);

  // No properties: the upgrade registers the same task again.
  ASSERT_EQ(Install(rebuild), 0u);
  const std::vector<std::wstring> products = InstalledProducts();
  ASSERT_EQ(products.size(), 1u);
  EXPECT_EQ(e2e::ToUtf8(ProductProperty(products[0], INSTALLPROPERTY_VERSIONSTRING)),
            e2e::ToUtf8(Environment(L"LSS_VERSION")));
  EXPECT_EQ(e2e::ReadFileBytes(readme), "The README of a rebuild of the same version.\n");
  EXPECT_THAT(RegisteredTasks(), ::testing::ElementsAre("LSScheduler Test Run"));

  ASSERT_EQ(RunSystemTool(L"msiexec.exe", L"/x \"" + rebuild + L"\" /qn"), 0u);
  EXPECT_THAT(RegisteredTasks(), ::testing::IsEmpty());
  EXPECT_FALSE(e2e::PathExists(kVendorFolder));
}

TEST_F(MsiPackage, ScheduleOnTheInstalledBuildRegistersAndRemovesTheTask) {
  ASSERT_EQ(Install(msi_), 0u);
  ASSERT_THAT(RegisteredTasks(), ::testing::IsEmpty());

  ASSERT_EQ(Install(msi_, L"SCHEDULE=1"), 0u);
  EXPECT_THAT(RegisteredTasks(), ::testing::ElementsAre("Larkspan Nightly"));
  EXPECT_EQ(e2e::ReadValue(HKEY_LOCAL_MACHINE, kInstallerKey, L"TaskName"),
            RegValue::Sz(L"Larkspan Nightly"));

  // Another name: the recorded task makes way for it.
  ASSERT_EQ(Install(msi_, L"SCHEDULE=1 TASKNAME=\"LSScheduler Test Run\""), 0u);
  EXPECT_THAT(RegisteredTasks(), ::testing::ElementsAre("LSScheduler Test Run"));
  EXPECT_EQ(e2e::ReadValue(HKEY_LOCAL_MACHINE, kInstallerKey, L"TaskName"),
            RegValue::Sz(L"LSScheduler Test Run"));

  ASSERT_EQ(Install(msi_, L"SCHEDULE=0"), 0u);
  EXPECT_THAT(RegisteredTasks(), ::testing::IsEmpty());
  EXPECT_EQ(e2e::ReadValue(HKEY_LOCAL_MACHINE, kInstallerKey, L"TaskName"), RegValue::Sz(L""));
  EXPECT_TRUE(e2e::PathExists(std::wstring(kDefaultFolder) + L"\\LSScheduler.exe"));
}

struct RollbackCase {
  const char* name;
  const wchar_t* before;  // the install before, SCHEDULE=1 and these properties
  bool rebuild;           // the failing install: the rebuild (an upgrade), or the same MSI
  const wchar_t* failing; // its properties, beside LSS_TEST_FAIL_AFTER_TASK=1
  const char* task;       // the task there before, and again after the failure
};

class MsiRollback : public MsiPackage, public ::testing::WithParamInterface<RollbackCase> {};

// Wine runs the removal of the upgraded version (RemoveExistingProducts) as an
// msiexec of its own that is not rolled back, and its rollback writes the
// registry values again with the failed install's properties, or removes the
// files of an installed build: only the tasks are compared here.
TEST_P(MsiRollback, AFailureAfterTheTaskStepLeavesTheTasksAsTheyWere) {
  const RollbackCase& row = GetParam();
  ASSERT_EQ(Install(msi_, L"SCHEDULE=1 " + std::wstring(row.before)), 0u);
  ASSERT_THAT(RegisteredTasks(), ::testing::ElementsAre(row.task));

  const std::wstring failing = row.rebuild ? e2e::PathFromEnvironment(L"LSS_REBUILD_MSI") : msi_;
  EXPECT_NE(Install(failing, std::wstring(row.failing) + L" LSS_TEST_FAIL_AFTER_TASK=1"), 0u);
  EXPECT_THAT(RegisteredTasks(), ::testing::ElementsAre(row.task));
}

INSTANTIATE_TEST_SUITE_P(
    Tasks, MsiRollback,
    ::testing::Values(
        // The upgrade registers the recorded task again, under the same name.
        RollbackCase{"Upgrade", L"TASKNAME=\"LSScheduler Test Run\"", true, L"",
                     "LSScheduler Test Run"},
        // The installed build deletes the recorded task for another name.
        RollbackCase{"RenamedOnTheInstalledBuild", L"", false,
                     L"SCHEDULE=1 TASKNAME=\"LSScheduler Test Run\"", "Larkspan Nightly"}),
    [](const ::testing::TestParamInfo<RollbackCase>& row) { return std::string(row.param.name); });

// What the package's tables say to a managed install and to inventory tools;
// what the transform says it is for, and what it changes.
TEST_F(MsiPackage, TablesListTheSecurePropertiesTheProgramsVersionsAndTheTransformsPackage) {
  const auto properties = QueryPackage(msi_, L"SELECT `Property`, `Value` FROM `Property`");
  std::vector<std::string> secure;
  std::wstringstream list(properties.at(L"SecureCustomProperties"));
  for (std::wstring name; std::getline(list, name, L';');) secure.push_back(e2e::ToUtf8(name));
  EXPECT_THAT(secure, ::testing::IsSupersetOf({"INSTALLFOLDER", "SCHEDULE", "TASKNAME",
                                               "WIX_UPGRADE_DETECTED"}));

  const auto versions = QueryPackage(msi_, L"SELECT `File`, `Version` FROM `File`");
  for (const auto& [file, program] : {std::pair{L"LSSchedulerExe", L"LSS_EXE"},
                                      std::pair{L"LSSchedulerCheckExe", L"LSS_CHECK_EXE"}}) {
    const std::wstring resource =
        ReadVersionFacts(e2e::PathFromEnvironment(program))[L"fixed FileVersion"];
    ASSERT_FALSE(resource.empty()) << e2e::ToUtf8(program);
    EXPECT_EQ(e2e::ToUtf8(versions.at(file)), e2e::ToUtf8(resource)) << e2e::ToUtf8(file);
  }

  // Made for this package (its product code, version and upgrade code), it
  // adds SCHEDULE=1 and changes nothing else of the Property table.
  const std::wstring mst = e2e::PathFromEnvironment(L"LSS_SCHEDULE_MST");
  const std::wstring product = properties.at(L"ProductCode") + properties.at(L"ProductVersion");
  EXPECT_EQ(e2e::ToUtf8(SummaryProperty(mst, kRevisionNumber)),
            e2e::ToUtf8(product + L";" + product + L";" + properties.at(L"UpgradeCode")));
  // Validation: product code, a.b.c version, equal to the base, upgrade code.
  EXPECT_EQ(e2e::ToUtf8(SummaryProperty(mst, kCharacterCount)), std::to_string(0x0922 << 16));
  auto transformed = QueryPackage(msi_, L"SELECT `Property`, `Value` FROM `Property`", mst);
  EXPECT_EQ(e2e::ToUtf8(transformed[L"SCHEDULE"]), "1");
  transformed.erase(L"SCHEDULE");
  EXPECT_TRUE(transformed == properties);
}

}  // namespace
}  // namespace package_test
