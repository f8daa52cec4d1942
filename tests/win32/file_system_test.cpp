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
#include "platform/win32/win32_registry.h"

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

// The scheduler's mappings leave out the check tool's verbs, whose calls its
// import table must not list, and say so rather than pretend.
TEST(SchedulerMappings, AnswerTheCheckToolsVerbsAsNotImplemented) {
  e2e::MakeFreshFolder(kFolder);
  e2e::WriteFileBytes(kFolder + L"\\taken.log", "abc");
  const std::u16string taken = u"C:\\lss_win32_tests\\files\\taken.log";
  lss::Win32FileSystem files;
  EXPECT_TRUE(files.IsFile(taken));
  EXPECT_EQ(files.ReadTail(taken, 64), std::nullopt);
  EXPECT_EQ(files.ReadAt(taken, 0, 64), std::nullopt);
  EXPECT_EQ(files.WriteNewFile(u"C:\\lss_win32_tests\\files\\new.log", "x"),
            ERROR_CALL_NOT_IMPLEMENTED);
  EXPECT_FALSE(e2e::PathExists(kFolder + L"\\new.log"));
  EXPECT_EQ(files.RemoveFolder(u"C:\\lss_win32_tests\\files"), ERROR_CALL_NOT_IMPLEMENTED);
  EXPECT_TRUE(e2e::PathExists(kFolder));
  lss::Win32Registry registry;
  char16_t name[256];
  std::uint32_t length = 256;
  EXPECT_EQ(registry.EnumKey(lss::kCurrentUser, 0, name, &length), ERROR_CALL_NOT_IMPLEMENTED);
  std::uint32_t size = 0;
  EXPECT_EQ(registry.EnumValue(lss::kCurrentUser, 0, name, &length, nullptr, nullptr, &size),
            ERROR_CALL_NOT_IMPLEMENTED);
}

}  // namespace
