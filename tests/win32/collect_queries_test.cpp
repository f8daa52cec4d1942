// The support bundle's reads against the real system. Its folders and new
// files are in tests/contract (FolderCreation, NewFiles), and its settings
// key read whole too (KeyListingContract.ListKeyReadsAKeyWholeInOrder).
#include <windows.h>
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "harness/text.h"
#include "platform/win32/win32_collect_queries.h"

namespace {

TEST(CollectQueries, KnowWindowsVersion) {
  lss::Win32CollectQueries queries;
  const std::u16string version = queries.WindowsVersion();
  const std::string shown = e2e::ToUtf8(std::wstring(version.begin(), version.end()));
  EXPECT_TRUE(std::regex_match(shown, std::regex("\\d+\\.\\d+\\.\\d+"))) << shown;
}

}  // namespace
