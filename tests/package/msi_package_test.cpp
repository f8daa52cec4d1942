// The MSI under Wine's Windows Installer: where it installs, what the
// installed program does, what Add/Remove Programs shows, upgrades,
// downgrades and removal.
#include <windows.h>

#include <msi.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

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

std::wstring Environment(const wchar_t* name) {
  const wchar_t* value = _wgetenv(name);
  return value != nullptr ? value : L"";
}

DWORD Install(const std::wstring& msi, std::wstring_view properties = L"") {
  std::wstring arguments = L"/i \"" + msi + L"\" /qn";
  if (!properties.empty()) arguments += L" " + std::wstring(properties);
  return RunSystemTool(L"msiexec.exe", arguments);
}

class MsiPackage : public ::testing::Test {
 protected:
  void SetUp() override { RemoveEveryProduct(); }
  void TearDown() override { RemoveEveryProduct(); }

  const std::wstring msi_ = e2e::PathFromEnvironment(L"LSS_MSI");
  const std::wstring nextMsi_ = e2e::PathFromEnvironment(L"LSS_NEXT_MSI");
};

struct InstallCase {
  const char* name;
  const wchar_t* properties;  // added to msiexec's command line
  const wchar_t* folder;      // where the files must land
};

class MsiInstall : public MsiPackage, public ::testing::WithParamInterface<InstallCase> {};

TEST_P(MsiInstall, InstallsARunnableProgramAndRemovesItWithoutTrace) {
  const InstallCase& row = GetParam();
  const std::wstring folder = row.folder;
  e2e::RemoveTree(folder);

  ASSERT_EQ(Install(msi_, row.properties), 0u);
  EXPECT_TRUE(e2e::PathExists(folder + L"\\README.md"));
  const std::wstring exe = folder + L"\\LSScheduler.exe";
  ASSERT_TRUE(e2e::PathExists(exe));
  EXPECT_EQ(e2e::ToUtf8(ReadVersionFacts(exe)[L"FileVersion"]),
            e2e::ToUtf8(VersionQuad(Environment(L"LSS_VERSION"))));

  // The check tool beside it, of the same version, says so itself.
  const std::wstring check = folder + L"\\LSSchedulerCheck.exe";
  ASSERT_TRUE(e2e::PathExists(check));
  const std::wstring output = L"C:\\lsspackage\\MsiInstall";
  e2e::MakeFreshFolder(output);
  EXPECT_EQ(e2e::RunCapturingOutput(check, L"--version", output, 30s).output,
            "LSSchedulerCheck " + e2e::ToUtf8(VersionQuad(Environment(L"LSS_VERSION"))) + "\r\n");

  // Started with no options, the installed program writes the hand-off values.
  e2e::DeleteKeyTree(HKEY_CURRENT_USER, kLarkspanKey);
  EXPECT_EQ(e2e::RunProgram(exe, L"", 60s).exitCode, 0u);
  EXPECT_EQ(e2e::ReadValue(HKEY_CURRENT_USER, kAdminOptionsKey, L"TaskName"), RegValue::Sz(L""));
  EXPECT_EQ(e2e::ReadValue(HKEY_CURRENT_USER, kAdminOptionsKey, L"TaskRun"), RegValue::Dword(1));
  EXPECT_EQ(e2e::ReadValue(HKEY_CURRENT_USER, kAdminOptionsKey, L"AutoRunExit"), RegValue::Dword(0));

  // Add/Remove Programs: one entry, no "Change", the guide as its help.
  const std::vector<std::wstring> products = InstalledProducts();
  ASSERT_EQ(products.size(), 1u);
  const std::wstring entry = kUninstallKey + products[0];
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
  EXPECT_THAT(InstalledProducts(), ::testing::IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Folders, MsiInstall,
    ::testing::Values(
        InstallCase{"ProgramFiles", L"", kDefaultFolder},
        InstallCase{"Overridden", L"INSTALLFOLDER=\"C:\\Admin Tools\\Larkspan\"",
                    L"C:\\Admin Tools\\Larkspan"}),
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

}  // namespace
}  // namespace package_test
