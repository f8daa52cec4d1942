#include <windows.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "common/rows.h"
#include "harness/scratch_files.h"
#include "harness/test_registry.h"
#include "platform/win32/win32_mapi.h"

namespace {

using lss::test::PrintTo;

std::optional<std::wstring> Environment(const wchar_t* name) {
  wchar_t value[512];
  const DWORD length = ::GetEnvironmentVariableW(name, value, 512);
  if (length == 0 && ::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
  return std::wstring(value, length < 512 ? length : 0);
}

constexpr std::uint32_t kLogonFlags =
    lss::mapi_flag::kUnicode | lss::mapi_flag::kExtended | lss::mapi_flag::kAllowOthers;

// mapi32 forwards to the provider registered as the default mail client;
// this one notes what MAPILogonEx received. A profile name with no password
// is the e2e runs' (tests/e2e/scheduled_run_test.cpp, kLogonOk).
struct LogonCase {
  const char* what;
  const char16_t* profile;
  const char16_t* password;
  std::wstring received;
};

class MapiLogon : public testing::TestWithParam<LogonCase> {};

TEST_P(MapiLogon, HandsTheTextsOnAsGiven) {
  const LogonCase& c = GetParam();
  const wchar_t* const clients = L"Software\\Clients\\Mail";
  e2e::SetValue(HKEY_LOCAL_MACHINE, clients, L"", e2e::RegValue::Sz(L"LSSRecordingProvider"));
  e2e::SetValue(HKEY_LOCAL_MACHINE, std::wstring(clients) + L"\\LSSRecordingProvider", L"DLLPathEx",
                e2e::RegValue::Sz(e2e::PathFromEnvironment(L"LSS_RECORDING_PROVIDER")));
  ::SetEnvironmentVariableW(L"LSS_PROVIDER_LOGON", nullptr);

  lss::Win32Mapi mapi;
  const lss::MapiInit init{0, 0};
  ASSERT_EQ(mapi.Initialize(&init), 0);
  lss::MapiSession* session = nullptr;
  EXPECT_EQ(
      static_cast<std::uint32_t>(mapi.LogonEx(0, c.profile, c.password, kLogonFlags, &session)),
      0x80040111u);
  EXPECT_EQ(session, nullptr);
  mapi.Uninitialize();
  EXPECT_EQ(Environment(L"LSS_PROVIDER_LOGON"), c.received);
}

const LogonCase kLogons[] = {
    {.what = "an empty profile and no password",
     .profile = u"",
     .password = nullptr,
     .received = L"profile=[] password=null flags=80000028"},
    {.what = "no profile and an empty password",
     .profile = nullptr,
     .password = u"",
     .received = L"profile=null password=[] flags=80000028"},
};

INSTANTIATE_TEST_SUITE_P(, MapiLogon, testing::ValuesIn(kLogons), lss::test::RowName);

// A mapi32.dll beside the program, with native DLLs preferred
// (WINEDLLOVERRIDES=mapi32=n,b), would be found first by the normal search.
TEST(MapiLibrary, IsNeverTakenFromBesideTheProgram) {
  ASSERT_TRUE(e2e::PathExists(e2e::PathFromEnvironment(L"LSS_PLANTED_MAPI")));
  ::SetEnvironmentVariableW(L"LSS_PLANTED_MAPI_LOADED", nullptr);
  lss::Win32Mapi mapi;
  const lss::MapiInit init{0, 0};
  EXPECT_NE(static_cast<std::uint32_t>(mapi.Initialize(&init)), 0x8004BAD0u);
  EXPECT_EQ(Environment(L"LSS_PLANTED_MAPI_LOADED"), std::nullopt);
  mapi.Uninitialize();
}

// The planted copy is what a plain-name load finds here: without it the
// test above would prove nothing.
TEST(MapiLibrary, PlantedCopyIsFoundByAPlainNameLoad) {
  ::SetEnvironmentVariableW(L"LSS_PLANTED_MAPI_LOADED", nullptr);
  const HMODULE module = ::LoadLibraryW(L"mapi32.dll");
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(Environment(L"LSS_PLANTED_MAPI_LOADED"), L"1");
  ::FreeLibrary(module);
}

}  // namespace
