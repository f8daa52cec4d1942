#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "handles/win32_handles.h"
#include "platform/win32/win32_sync.h"

namespace {

enum class Existing { kNothing, kMutex, kEvent };

struct MutexCase {
  const char* what;
  Existing existing;  // what already carries the name
  bool opens;
};

class NamedMutex : public testing::TestWithParam<MutexCase> {};

TEST_P(NamedMutex, IsNotOwnedByItsOpener) {
  const MutexCase& c = GetParam();
  const std::wstring name = L"Local\\lss_win32_test_mutex_" + std::to_wstring(::GetCurrentProcessId()) +
                            L"_" + std::to_wstring(static_cast<int>(c.existing));
  lss::UniqueHandle existing;
  if (c.existing == Existing::kMutex) existing.reset(::CreateMutexW(nullptr, FALSE, name.c_str()));
  if (c.existing == Existing::kEvent) existing.reset(::CreateEventW(nullptr, TRUE, FALSE, name.c_str()));
  ASSERT_EQ(static_cast<bool>(existing), c.existing != Existing::kNothing) << c.what;

  lss::Win32Sync sync;
  const lss::MutexHandle mutex = sync.OpenNamedMutex(std::u16string(name.begin(), name.end()));
  ASSERT_EQ(mutex != 0, c.opens) << c.what;
  if (mutex == 0) return;
  // Ownership belongs to a thread: another one gets the mutex at once only
  // when the opener did not take it.
  DWORD otherThread = WAIT_FAILED;
  std::thread([&] {
    otherThread = ::WaitForSingleObject(reinterpret_cast<HANDLE>(mutex), 0);
    if (otherThread == WAIT_OBJECT_0) ::ReleaseMutex(reinterpret_cast<HANDLE>(mutex));
  }).join();
  EXPECT_EQ(otherThread, WAIT_OBJECT_0) << c.what;
  EXPECT_EQ(sync.WaitForMutex(mutex, 0), lss::wait_result::kObject0) << c.what;
  EXPECT_TRUE(sync.ReleaseHeldMutex(mutex)) << c.what;
  EXPECT_FALSE(sync.ReleaseHeldMutex(mutex)) << c.what;  // held once, released once
  sync.CloseMutex(mutex);
}

INSTANTIATE_TEST_SUITE_P(
    Table, NamedMutex,
    testing::Values(MutexCase{"a new name", Existing::kNothing, true},
                    MutexCase{"an existing mutex", Existing::kMutex, true},
                    MutexCase{"the name of an event", Existing::kEvent, false}),
    [](const auto& row) { return std::to_string(row.index); });

// A run that waits for the add-in's mutex after the add-in died holding it
// gets the mutex, and must release it again.
TEST(NamedMutexWait, EndsAsAbandonedAndOwnedWhenTheOwnerEnded) {
  const std::wstring name =
      L"Local\\lss_win32_test_abandoned_" + std::to_wstring(::GetCurrentProcessId());
  lss::Win32Sync sync;
  const lss::MutexHandle mutex = sync.OpenNamedMutex(std::u16string(name.begin(), name.end()));
  ASSERT_NE(mutex, 0u);
  std::thread([&] { ::WaitForSingleObject(reinterpret_cast<HANDLE>(mutex), INFINITE); }).join();

  EXPECT_EQ(sync.WaitForMutex(mutex, 0), lss::wait_result::kAbandoned);
  EXPECT_TRUE(sync.ReleaseHeldMutex(mutex));
  EXPECT_FALSE(sync.ReleaseHeldMutex(mutex));
  sync.CloseMutex(mutex);
}

}  // namespace
