// The check tool's queries against the real system: where each reads from,
// and that a look at a mutex leaves nothing behind.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "harness/process_runner.h"
#include "harness/scratch_files.h"
#include "harness/test_registry.h"
#include "handles/win32_handles.h"
#include "platform/win32/win32_check_queries.h"

namespace {

constexpr auto CaseIndex = [](const auto& row) { return std::to_string(row.index); };

const std::wstring kFolder = L"C:\\lss_win32_tests\\check";

std::u16string U16(std::wstring_view text) { return std::u16string(text.begin(), text.end()); }

struct TailCase {
  std::size_t limit;
  std::optional<std::string> tail;  // nothing: no file to read
};

class Tail : public testing::TestWithParam<TailCase> {};

TEST_P(Tail, IsTheEndOfTheFileAndItsWholeSize) {
  const TailCase& c = GetParam();
  e2e::MakeFreshFolder(kFolder);
  const std::wstring path = kFolder + L"\\tail.log";
  if (c.tail) e2e::WriteFileBytes(path, "0123456789");
  lss::Win32CheckQueries queries;
  const std::optional<lss::CheckQueries::Tail> tail = queries.ReadTail(U16(path), c.limit);
  ASSERT_EQ(tail.has_value(), c.tail.has_value());
  if (!tail) return;
  EXPECT_EQ(tail->bytes, *c.tail);
  EXPECT_EQ(tail->size, 10u);
}

INSTANTIATE_TEST_SUITE_P(Table, Tail,
                         testing::Values(TailCase{4, "6789"}, TailCase{10, "0123456789"},
                                         TailCase{64 * 1024, "0123456789"}, TailCase{0, ""},
                                         TailCase{4, std::nullopt}),
                         CaseIndex);

struct ListCase {
  const char16_t* pattern;
  std::vector<std::pair<std::u16string, std::uint64_t>> listed;  // by name
};

class Listing : public testing::TestWithParam<ListCase> {};

// Beside the logs: another file, and a folder whose name the pattern matches.
TEST_P(Listing, HoldsTheFilesThePatternMatchesWithTheirSizes) {
  const std::wstring folder = kFolder + L"\\listing";
  e2e::MakeFreshFolder(folder);
  e2e::WriteFileBytes(folder + L"\\Scheduler061226164509.log", "0123456789");
  e2e::WriteFileBytes(folder + L"\\Scheduler071226020000.log", "");
  e2e::WriteFileBytes(folder + L"\\notes.txt", "abc");
  ASSERT_TRUE(::CreateDirectoryW((folder + L"\\Scheduler081226000000.log").c_str(), nullptr));
  lss::Win32CheckQueries queries;
  std::vector<std::pair<std::u16string, std::uint64_t>> listed;
  for (const auto& file : queries.ListFiles(U16(folder), GetParam().pattern)) {
    listed.emplace_back(file.name, file.size);
  }
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(listed, GetParam().listed);
  EXPECT_TRUE(queries.ListFiles(U16(folder + L"\\missing"), GetParam().pattern).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, Listing,
    testing::Values(
        ListCase{u"Scheduler*.log",
                 {{u"Scheduler061226164509.log", 10}, {u"Scheduler071226020000.log", 0}}},
        ListCase{u"*.txt", {{u"notes.txt", 3}}},
        ListCase{u"scheduler0612????????.LOG", {{u"Scheduler061226164509.log", 10}}},
        ListCase{u"*",
                 {{u"Scheduler061226164509.log", 10},
                  {u"Scheduler071226020000.log", 0},
                  {u"notes.txt", 3}}}),
    CaseIndex);

enum class Holder { kNothing, kFree, kOtherThread, kEndedThread, kEvent };

struct ProbeCase {
  const char* what;
  Holder holder;  // what has the name before the look
  lss::MutexState state;
};

class MutexLook : public testing::TestWithParam<ProbeCase> {};

TEST_P(MutexLook, FindsTheStateAndLeavesNothingBehind) {
  const ProbeCase& c = GetParam();
  const std::wstring name = L"Local\\lss_win32_test_probe_" +
                            std::to_wstring(::GetCurrentProcessId()) + L"_" +
                            std::to_wstring(static_cast<int>(c.holder));
  lss::UniqueHandle existing;
  std::thread owner;
  lss::UniqueHandle done(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  lss::UniqueHandle owned(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  switch (c.holder) {
    case Holder::kNothing: break;
    case Holder::kFree: existing.reset(::CreateMutexW(nullptr, FALSE, name.c_str())); break;
    case Holder::kEvent: existing.reset(::CreateEventW(nullptr, TRUE, FALSE, name.c_str())); break;
    case Holder::kOtherThread:
    case Holder::kEndedThread:
      existing.reset(::CreateMutexW(nullptr, FALSE, name.c_str()));
      owner = std::thread([&, ends = c.holder == Holder::kEndedThread] {
        ::WaitForSingleObject(existing.get(), INFINITE);
        ::SetEvent(owned.get());
        if (!ends) ::WaitForSingleObject(done.get(), INFINITE);
        if (!ends) ::ReleaseMutex(existing.get());
      });
      ::WaitForSingleObject(owned.get(), INFINITE);
      if (c.holder == Holder::kEndedThread) owner.join();  // it ends owning the mutex
      break;
  }

  lss::Win32CheckQueries queries;
  EXPECT_EQ(queries.ProbeMutex(U16(name)).state, c.state) << c.what;

  if (owner.joinable()) {
    ::SetEvent(done.get());
    owner.join();
  }
  if (c.holder == Holder::kNothing) {
    // The look created nothing.
    EXPECT_EQ(::OpenMutexW(SYNCHRONIZE, FALSE, name.c_str()), nullptr) << c.what;
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND)) << c.what;
  } else if (c.holder != Holder::kEvent) {
    // The look gave back what its wait took: another thread gets the mutex at once.
    DWORD otherThread = WAIT_FAILED;
    std::thread([&] {
      otherThread = ::WaitForSingleObject(existing.get(), 0);
      if (otherThread == WAIT_OBJECT_0) ::ReleaseMutex(existing.get());
    }).join();
    EXPECT_EQ(otherThread, static_cast<DWORD>(WAIT_OBJECT_0)) << c.what;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, MutexLook,
    testing::Values(
        ProbeCase{"a missing name", Holder::kNothing, lss::MutexState::kMissing},
        ProbeCase{"a free mutex", Holder::kFree, lss::MutexState::kFree},
        ProbeCase{"a mutex another thread holds", Holder::kOtherThread, lss::MutexState::kHeld},
        ProbeCase{"a mutex whose owner ended", Holder::kEndedThread, lss::MutexState::kAbandoned},
        ProbeCase{"the name of an event", Holder::kEvent, lss::MutexState::kOtherObject}),
    CaseIndex);

struct ViewCase {
  const char* what;
  const wchar_t* writtenUnder;  // below HKLM
  lss::RegistryView view;
  std::optional<std::u16string> read;
};

class RegistryViews : public testing::TestWithParam<ViewCase> {};

// A mail client registered by 32-bit Outlook lands in WOW6432Node; this
// 64-bit tool must see it there through the 32-bit view alone.
TEST_P(RegistryViews, ReadTheirOwnPartOfSoftware) {
  const ViewCase& c = GetParam();
  const std::wstring key = L"LssWin32Test\\Clients\\Mail";
  e2e::DeleteKeyTree(HKEY_LOCAL_MACHINE, L"Software\\LssWin32Test");
  e2e::DeleteKeyTree(HKEY_LOCAL_MACHINE, L"Software\\WOW6432Node\\LssWin32Test");
  e2e::SetValue(HKEY_LOCAL_MACHINE, std::wstring(c.writtenUnder) + key, L"",
                e2e::RegValue::Sz(L"Microsoft Outlook"));
  lss::Win32CheckQueries queries;
  EXPECT_EQ(queries.ReadMachineText(c.view, U16(L"Software\\" + key), u""), c.read) << c.what;
  e2e::DeleteKeyTree(HKEY_LOCAL_MACHINE, L"Software\\LssWin32Test");
  e2e::DeleteKeyTree(HKEY_LOCAL_MACHINE, L"Software\\WOW6432Node\\LssWin32Test");
}

INSTANTIATE_TEST_SUITE_P(
    Table, RegistryViews,
    testing::Values(ViewCase{"32-bit only, 32-bit view", L"Software\\WOW6432Node\\",
                             lss::RegistryView::k32Bit, u"Microsoft Outlook"},
                    ViewCase{"32-bit only, 64-bit view", L"Software\\WOW6432Node\\",
                             lss::RegistryView::k64Bit, std::nullopt},
                    ViewCase{"64-bit, 64-bit view", L"Software\\", lss::RegistryView::k64Bit,
                             u"Microsoft Outlook"},
                    ViewCase{"64-bit, 32-bit view", L"Software\\", lss::RegistryView::k32Bit,
                             std::nullopt}),
    CaseIndex);

struct RunningCase {
  const char16_t* asked;
  bool running;
};

class RunningProgram : public testing::TestWithParam<RunningCase> {};

TEST_P(RunningProgram, IsFoundByItsFileNameInAnyCase) {
  e2e::MakeFreshFolder(kFolder);
  const std::wstring program = kFolder + L"\\LSScheduler.exe";
  e2e::CopyFileTo(e2e::PathFromEnvironment(L"LSS_IDLE_PROGRAM"), program);
  e2e::ChildProcess idle(program, L"20000");
  lss::Win32CheckQueries queries;
  EXPECT_EQ(queries.IsProgramRunning(GetParam().asked), GetParam().running) << std::string(
      GetParam().asked, GetParam().asked + std::char_traits<char16_t>::length(GetParam().asked));
}  // the idle program is ended here

INSTANTIATE_TEST_SUITE_P(Table, RunningProgram,
                         testing::Values(RunningCase{u"LSScheduler.exe", true},
                                         RunningCase{u"LSSCHEDULER.EXE", true},
                                         RunningCase{u"lsscheduler.exe", true},
                                         RunningCase{u"LSScheduler", false},
                                         RunningCase{u"LSSchedulerCheck.exe", false}),
                         CaseIndex);

struct SplitCase {
  const char16_t* arguments;
  std::vector<std::u16string> split;
};

class ActionArguments : public testing::TestWithParam<SplitCase> {};

TEST_P(ActionArguments, SplitAsAProgramReceivesThem) {
  lss::Win32CheckQueries queries;
  EXPECT_EQ(queries.SplitArguments(GetParam().arguments), GetParam().split);
}

INSTANTIATE_TEST_SUITE_P(Table, ActionArguments,
                         testing::Values(SplitCase{u"", {}}, SplitCase{u"  ", {}},
                                         SplitCase{
                                             u"-s -e -p \"My Work\" -n Nightly",
                                             {u"-s", u"-e", u"-p", u"My Work", u"-n", u"Nightly"}},
                                         SplitCase{u"-p \"a\\\"b\" /s", {u"-p", u"a\"b", u"/s"}}),
                         CaseIndex);

TEST(CheckQueries, ExpandTheEnvironmentAndKnowTheirOwnFile) {
  lss::Win32CheckQueries queries;
  ASSERT_TRUE(::SetEnvironmentVariableW(L"LSS_TEST_FOLDER", L"C:\\Program Files\\Brinmoor"));
  EXPECT_EQ(queries.ExpandEnvironment(u"%LSS_TEST_FOLDER%\\LSScheduler.exe"),
            u"C:\\Program Files\\Brinmoor\\LSScheduler.exe");
  EXPECT_EQ(queries.ExpandEnvironment(u"%LSS_NOT_SET%\\x"), u"%LSS_NOT_SET%\\x");
  const std::u16string own = queries.ProgramPath();
  EXPECT_NE(own.find(u"lss_win32_tests.exe"), std::u16string::npos);
  EXPECT_TRUE(queries.IsFile(own));
  EXPECT_FALSE(queries.IsFolder(own));
}

}  // namespace
