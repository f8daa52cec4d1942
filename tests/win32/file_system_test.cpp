#include <windows.h>
#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "common/rows.h"
#include "handles/win32_handles.h"
#include "harness/scratch_files.h"
#include "platform/win32/win32_file_system.h"

namespace {

using lss::test::PrintTo;

const std::wstring kFolder = L"C:\\lss_win32_tests\\files";

// The byte every appender locks around its write (see Win32File::Append).
constexpr ULONGLONG kAppendLockOffset = 0x7FFFFFFFFFFFFFFEull;

struct LockRow {
  const char* what;
  std::optional<DWORD> held;  // LockFileEx flags of another handle's lock
  bool appendWaits;
};

class AppendLock : public testing::TestWithParam<LockRow> {};

TEST_P(AppendLock, IsExclusive) {
  const LockRow& c = GetParam();
  e2e::MakeFreshFolder(kFolder);
  const std::wstring path = kFolder + L"\\locked.log";
  lss::Win32FileSystem files;
  const auto file = files.Create(std::u16string(path.begin(), path.end()));
  ASSERT_NE(file, nullptr);
  const lss::UniqueFile other(::CreateFileW(path.c_str(), GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(other);
  OVERLAPPED region{};
  region.Offset = static_cast<DWORD>(kAppendLockOffset);
  region.OffsetHigh = static_cast<DWORD>(kAppendLockOffset >> 32);
  if (c.held) {
    ASSERT_TRUE(::LockFileEx(other.get(), *c.held, 0, 1, 0, &region));
  }

  std::atomic<bool> appended = false;
  std::thread appender([&] {
    EXPECT_TRUE(file->Append(reinterpret_cast<const std::uint8_t*>("x"), 1));
    appended = true;
  });
  // Half a second shows a wait; a free append gets five, however busy the machine.
  const int patience = c.appendWaits ? 5 : 50;
  for (int i = 0; i < patience && !appended; ++i) ::Sleep(100);
  const bool appendedWhileHeld = appended;
  if (c.held) ::UnlockFileEx(other.get(), 0, 1, 0, &region);
  appender.join();
  EXPECT_EQ(appendedWhileHeld, !c.appendWaits) << c.what;
  EXPECT_EQ(e2e::ReadFileBytes(path), "x") << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    , AppendLock,
    testing::ValuesIn(std::vector<LockRow>{
        {.what = "nothing held", .held = std::nullopt, .appendWaits = false},
        {.what = "a shared lock held", .held = 0, .appendWaits = true},
        {.what = "an exclusive lock held", .held = LOCKFILE_EXCLUSIVE_LOCK, .appendWaits = true},
    }),
    lss::test::RowName);

// The folder calls the run log's creation and retention rely on are in
// tests/contract (FolderCreation, FolderListings, FileChanges).

}  // namespace
