// The support bundle's files and reads against the real system: folders and
// files that never replace anything, and a settings key read whole. What a
// path names is in tests/contract.
#include <windows.h>
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <string>

#include "harness/scratch_files.h"
#include "harness/test_registry.h"
#include "harness/text.h"
#include "platform/win32/win32_collect_queries.h"

namespace {

const std::wstring kFolder = L"C:\\lss_win32_tests\\collect";

std::u16string U16(std::wstring_view text) { return std::u16string(text.begin(), text.end()); }

TEST(CollectQueries, CreateFoldersAndNewFilesButReplaceNothing) {
  e2e::MakeFreshFolder(kFolder);
  lss::Win32CollectQueries queries;
  const std::wstring deep = kFolder + L"\\a\\b\\c";
  EXPECT_EQ(queries.CreateFolders(U16(deep)), 0);
  EXPECT_EQ(queries.Look(U16(deep)), lss::PathKind::kEmptyFolder);
  EXPECT_EQ(queries.CreateFolders(U16(deep + L"\\")), 0);  // there already

  const std::wstring file = deep + L"\\f.bin";
  const std::string bytes("\xFF\xFE\0x\r\n", 6);
  EXPECT_EQ(queries.WriteNewFile(U16(file), bytes), 0);
  EXPECT_EQ(e2e::ReadFileBytes(file), bytes);
  EXPECT_EQ(queries.WriteNewFile(U16(file), "other"), ERROR_FILE_EXISTS);
  EXPECT_EQ(e2e::ReadFileBytes(file), bytes);
  EXPECT_EQ(queries.CreateFolders(U16(file)), ERROR_ALREADY_EXISTS);
  EXPECT_EQ(queries.WriteNewFile(U16(kFolder + L"\\missing\\f"), "x"), ERROR_PATH_NOT_FOUND);
  EXPECT_FALSE(e2e::PathExists(kFolder + L"\\missing"));

  const std::u16string version = queries.WindowsVersion();
  const std::string shown = e2e::ToUtf8(std::wstring(version.begin(), version.end()));
  EXPECT_TRUE(std::regex_match(shown, std::regex("\\d+\\.\\d+\\.\\d+"))) << shown;
}

TEST(CollectQueries, ReadAUserKeyWhole) {
  const std::wstring key = L"Software\\LssWin32Tests\\Collect";
  e2e::DeleteKeyTree(HKEY_CURRENT_USER, key);
  std::vector<std::uint8_t> large(5000);  // more than a first read takes
  for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<std::uint8_t>(i);
  const std::map<std::wstring, e2e::RegValue> values = {
      {L"", e2e::RegValue::Sz(L"default")},
      {L"Large", e2e::RegValue::Binary(large)},
      {L"Wait", e2e::RegValue::Dword(15)},
      {L"Odd", e2e::RegValue{0x20, {1, 2, 3}}},
  };
  for (const auto& [name, value] : values) e2e::SetValue(HKEY_CURRENT_USER, key, name, value);
  e2e::SetValue(HKEY_CURRENT_USER, key + L"\\Sub", L"x", e2e::RegValue::Dword(1));

  lss::Win32CollectQueries queries;
  lss::RegistryKeyRead read;
  ASSERT_EQ(queries.ReadUserKey(U16(key), &read), 0);
  EXPECT_EQ(read.subkeys, std::vector<std::u16string>{u"Sub"});
  std::map<std::wstring, e2e::RegValue> found;
  for (const lss::RegistryValueRead& value : read.values) {
    found[std::wstring(value.name.begin(), value.name.end())] = {value.type, value.data};
  }
  EXPECT_EQ(found, values);
  EXPECT_EQ(queries.ReadUserKey(U16(key + L"\\Missing"), &read), ERROR_FILE_NOT_FOUND);
  e2e::DeleteKeyTree(HKEY_CURRENT_USER, L"Software\\LssWin32Tests");
}

}  // namespace
