// The run log under Wine: where the file goes, what its bytes are, and what
// happens when a file of the same name is already there.
#include <algorithm>
#include <map>

#include "common/rows.h"
#include "harness/scheduler_test.h"

namespace e2e {
namespace {

using lss::test::PrintTo;

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct FolderCase {
  const char* what;
  const wchar_t* end;   // after the log folder in LogDirectory
  bool forwardSlashes;  // instead of backslashes
};

class LogFolderForms : public SchedulerTest, public ::testing::WithParamInterface<FolderCase> {};

TEST_P(LogFolderForms, StartWithoutOptionsLeavesOneEmptyLogFile) {
  MakeFreshFolder(LogFolder());
  std::wstring text = LogFolder() + GetParam().end;
  if (GetParam().forwardSlashes) std::replace(text.begin(), text.end(), L'\\', L'/');
  SetSetting(L"LogDirectory", RegValue::Sz(text));

  RunScheduler(L"");

  EXPECT_THAT(TheLog(), IsEmpty());  // one empty file, named for a time of the run
}

const FolderCase kFolderForms[] = {
    {.what = "folder without a trailing backslash", .end = L"", .forwardSlashes = false},
    {.what = "folder with a trailing backslash", .end = L"\\", .forwardSlashes = false},
    {.what = "folder in forward slashes ending in one", .end = L"/", .forwardSlashes = true},
};

INSTANTIATE_TEST_SUITE_P(, LogFolderForms, testing::ValuesIn(kFolderForms), lss::test::RowName);

class RunLog : public SchedulerTest {
 protected:
  // A run that cannot write its log goes on: it hands the task's name to the
  // add-in, and changes no file in `folder`.
  void ExpectRunWithoutALogIn(const std::wstring& folder) {
    const std::map<std::wstring, std::string> before = FolderContents(folder);
    RunScheduler(L"-s -n Nightly");
    EXPECT_EQ(FolderContents(folder), before);
    EXPECT_EQ(AdminOption(L"TaskName"), RegValue::Sz(L"Nightly"));
    EXPECT_EQ(AdminOption(L"TaskRun"), Dword(1));
    EXPECT_EQ(AdminOption(L"AutoRunExit"), Dword(0));
  }
};

// Files named for every second from just before the run to well after it,
// each holding an entry of an earlier run; returns their contents by name.
std::map<std::wstring, std::string> PrepareEarlierLogs(const std::wstring& folder) {
  std::map<std::wstring, std::string> files;
  const LocalSeconds now = LocalNow();
  for (LocalSeconds time = now - 1; time <= now + 60; ++time) {
    const std::wstring name = LogFileNameAt(time);
    files[name] = "\r\n01-01-26 00:00:00: earlier run of " + Narrow(name);
    WriteFileBytes(folder + L"\\" + name, files[name]);
  }
  return files;
}

TEST_F(RunLog, ExistingWritableFileOfTheSameNameIsAppendedTo) {
  // Given the file of a start in the same second that has ended already.
  UseLogFolder();
  const std::map<std::wstring, std::string> before = PrepareEarlierLogs(LogFolder());

  RunScheduler(L"-s");

  std::vector<std::wstring> changed;
  for (const auto& [name, bytes] : FolderContents(LogFolder())) {
    const auto earlier = before.find(name);
    ASSERT_NE(earlier, before.end())
        << "the run created " << Narrow(name) << " instead of appending to an existing file";
    if (bytes == earlier->second) continue;
    changed.push_back(name);
    ExpectLogNameOfTheRuns(name);
    // The earlier content stays; the new entry follows it.
    ASSERT_EQ(bytes.substr(0, earlier->second.size()), earlier->second);
    const ParsedLog log = ParseLog(bytes);
    EXPECT_THAT(log.problems, IsEmpty());
    EXPECT_THAT(Texts(log.entries), ElementsAre("earlier run of " + Narrow(name), kNotFound));
  }
  EXPECT_EQ(changed.size(), 1u);
}

TEST_F(RunLog, ReadOnlyFileOfTheSameNameGetsNothing) {
  UseLogFolder();
  for (const auto& [name, bytes] : PrepareEarlierLogs(LogFolder())) {
    SetReadOnly(LogFolder() + L"\\" + name);
  }

  ExpectRunWithoutALogIn(LogFolder());
}

TEST_F(RunLog, AFolderThatCannotBeCreatedGivesNoLogAndTheRunGoesOn) {
  // Given a log folder below a file: no folder can be made there.
  WriteFileBytes(folder() + L"\\file", "not a folder");
  SetSetting(L"LogDirectory", RegValue::Sz(folder() + L"\\file\\logs"));

  ExpectRunWithoutALogIn(folder());
}

TEST_F(RunLog, AnExpandableFolderPerUserIsExpandedAndCreated) {
  // Given the per-user folder of the guide, in a part of it no run made yet.
  const wchar_t* localAppData = _wgetenv(L"LOCALAPPDATA");
  ASSERT_NE(localAppData, nullptr);
  const std::wstring perUser = std::wstring(localAppData) + L"\\Larkspan\\lsse2e";
  RemoveTree(perUser);
  SetSetting(L"LogDirectory", RegValue::ExpandSz(L"%LOCALAPPDATA%\\Larkspan\\lsse2e\\Logs"));

  RunScheduler(L"-s");

  EXPECT_THAT(Texts(TheLog(perUser + L"\\Logs")), ElementsAre(kNotFound));
  RemoveTree(perUser);
}

TEST_F(RunLog, RetentionDeletesExactlyTheOldLogs) {
  // Given logs of earlier runs and things that only look like them, 30 days kept.
  UseLogFolder();
  SetSetting(L"LogRetentionDays", Dword(30));
  const LocalSeconds now = LocalNow();
  constexpr LocalSeconds kDay = 86400;
  const std::wstring oldName = LogFileNameAt(now - 31 * kDay);
  const std::vector<std::wstring> old{oldName, LogFileNameAt(now - 400 * kDay)};
  const std::wstring digits = oldName.substr(9, 12);
  const std::vector<std::wstring> kept{
      LogFileNameAt(now - 29 * kDay),
      L"Scheduler" + digits + L".txt",
      L"Other" + digits + L".log",
      L"Scheduler" + digits + L"0.log",
      L"Scheduler" + digits + L".log.bak",
      L"Scheduler010170000000.log"};  // named under a clock set to 2070: never old
  for (const std::wstring& name : old) WriteFileBytes(LogFolder() + L"\\" + name, "old");
  for (const std::wstring& name : kept) WriteFileBytes(LogFolder() + L"\\" + name, "kept");
  const std::wstring readOnly = LogFileNameAt(now - 60 * kDay);
  WriteFileBytes(LogFolder() + L"\\" + readOnly, "read-only");
  SetReadOnly(LogFolder() + L"\\" + readOnly);
  const std::wstring folderNamedLikeALog = LogFileNameAt(now - 70 * kDay);
  MakeFreshFolder(LogFolder() + L"\\" + folderNamedLikeALog);
  WriteFileBytes(LogFolder() + L"\\" + folderNamedLikeALog + L"\\" + oldName, "inside");

  RunScheduler(L"");

  std::vector<std::wstring> left = FileNamesIn(LogFolder());
  std::vector<std::wstring> newLogs;
  for (const std::wstring& name : left) {
    const bool earlier = std::count(kept.begin(), kept.end(), name) != 0 || name == readOnly ||
                         name == folderNamedLikeALog;
    if (!earlier) newLogs.push_back(name);
  }
  ASSERT_EQ(newLogs.size(), 1u) << "the run's own log, and nothing old";
  ExpectLogNameOfTheRuns(newLogs[0]);
  EXPECT_EQ(ReadFileBytes(LogFolder() + L"\\" + newLogs[0]), "");  // nothing said about it
  EXPECT_EQ(left.size(), kept.size() + 3);
  EXPECT_EQ(ReadFileBytes(LogFolder() + L"\\" + readOnly), "read-only");
  EXPECT_EQ(ReadFileBytes(LogFolder() + L"\\" + folderNamedLikeALog + L"\\" + oldName), "inside");
}

}  // namespace
}  // namespace e2e
