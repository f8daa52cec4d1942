#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "diag/exceptions.h"
#include "diag/log_retention.h"
#include "diag/run_log.h"
#include "fake/fake_clock.h"
#include "fake/fake_file_system.h"
#include "fake/fake_system_messages.h"

namespace lss {
namespace {

using test::FakeClock;
using test::FakeFileSystem;
using Op = FakeFileSystem::Operation;

constexpr LocalTime kSixDecember{2026, 12, 6, 16, 45, 9};
constexpr std::u16string_view kLogPath = u"C:\\Logs\\Scheduler061226164509.log";

class RunLogTest : public ::testing::Test {
 protected:
  RunLogTest() : clock_(kSixDecember) { files_.disk().AddFolder(u"C:\\Logs"); }

  std::string Log() const { return files_.disk().Contents(kLogPath).value_or("<no file>"); }

  FakeClock clock_;
  FakeFileSystem files_;
  RunLog log_;
};

TEST_F(RunLogTest, NamesTheFileAfterFolderAndLocalTime) {
  files_.disk().AddFolder(u"D:\\");
  struct Case {
    std::u16string_view folder;
    std::u16string_view expected;
  } cases[] = {
      {u"C:\\Logs", u"C:\\Logs\\Scheduler061226164509.log"},
      {u"C:\\Logs\\", u"C:\\Logs\\Scheduler061226164509.log"},
      {u"C:/Logs/", u"C:/Logs/\\Scheduler061226164509.log"},
      {u"D:\\", u"D:\\Scheduler061226164509.log"},
  };
  for (const Case& c : cases) {
    RunLog log;
    log.Open(clock_, files_, c.folder);
    EXPECT_TRUE(log.IsOpen()) << std::string(c.folder.begin(), c.folder.end());
    EXPECT_EQ(log.path(), c.expected);
    EXPECT_TRUE(files_.disk().Contents(c.expected).has_value());
  }
}

TEST_F(RunLogTest, EmptyFolderMeansNoLog) {
  log_.Open(clock_, files_, u"");
  log_.Write(u"KSScheduler: MAPILogonEx");
  EXPECT_FALSE(log_.IsOpen());
  EXPECT_TRUE(files_.operations().empty());
}

TEST_F(RunLogTest, UnconvertibleTimeLeavesTheStampsEmpty) {
  clock_.FailToLocal(true);
  log_.Open(clock_, files_, u"C:\\Logs");
  log_.Write(u"x");
  EXPECT_EQ(files_.disk().Contents(u"C:\\Logs\\Scheduler.log"), "\r\n x");
}

TEST_F(RunLogTest, AppendsToAWritableFileOfTheSameName) {
  files_.disk().AddFile(kLogPath, "\r\n06-12-26 16:45:09: first run");
  log_.Open(clock_, files_, u"C:\\Logs");
  log_.Write(u"second run");
  EXPECT_EQ(Log(), "\r\n06-12-26 16:45:09: first run\r\n06-12-26 16:45:09: second run");
  EXPECT_EQ(files_.OperationsOf(Op::kCreate).size(), 0u);
  EXPECT_EQ(files_.OperationsOf(Op::kOpenExisting).size(), 1u);
}

TEST_F(RunLogTest, UnusableTargetsLeaveTheLogClosed) {
  struct Case {
    const char* name;
    void (*arrange)(FakeFileSystem&);
  } cases[] = {
      {"missing folder on a missing drive", [](FakeFileSystem&) {}},
      {"read-only file", [](FakeFileSystem& f) { f.disk().AddFile(kLogPath, "old", true); }},
      {"create fails", [](FakeFileSystem& f) { f.disk().AddFolder(u"C:\\Logs"); f.FailCreate(true); }},
      {"open fails", [](FakeFileSystem& f) { f.disk().AddFile(kLogPath, "old"); f.FailOpenExisting(true); }},
      {"name is a folder", [](FakeFileSystem& f) { f.disk().AddFolder(kLogPath); }},
  };
  for (const Case& c : cases) {
    FakeFileSystem files;
    c.arrange(files);
    RunLog log;
    log.Open(clock_, files, u"C:\\Logs");
    log.Write(u"lost");
    EXPECT_FALSE(log.IsOpen()) << c.name;
    EXPECT_TRUE(files.OperationsOf(Op::kAppend).empty()) << c.name;
    const auto contents = files.disk().Contents(kLogPath);
    EXPECT_TRUE(!contents || *contents == "old") << c.name;
  }
}

// Given the folders and files there are, the folders a run creates for its
// log and whether the log opens.
struct FolderCase {
  const char* what;
  std::u16string folder;
  void (*arrange)(FakeFileSystem&);
  std::vector<std::u16string> created;  // CreateFolder calls, in order
  bool opens;
};

TEST_F(RunLogTest, CreatesAMissingFolderWithItsParents) {
  const auto drive = [](FakeFileSystem& f) { f.disk().AddFolder(u"C:\\"); };
  const std::u16string longest(259 - 26, u'x');  // its log file's path: 259 characters
  const FolderCase cases[] = {
      {"existing folder", u"C:\\Logs", [](FakeFileSystem& f) { f.disk().AddFolder(u"C:\\Logs"); }, {}, true},
      {"missing folder", u"C:\\Logs", drive, {u"C:\\Logs"}, true},
      {"missing parents", u"C:\\Users\\ana\\Logs\\", drive,
       {u"C:\\Users", u"C:\\Users\\ana", u"C:\\Users\\ana\\Logs"}, true},
      {"forward slashes", u"C:/Users/ana/", drive, {u"C:/Users", u"C:/Users/ana"}, true},
      {"a parent that is a file", u"C:\\Users\\ana\\Logs",
       [](FakeFileSystem& f) { f.disk().AddFolder(u"C:\\"); f.disk().AddFile(u"C:\\Users"); },
       {u"C:\\Users", u"C:\\Users\\ana"}, false},
      {"the folder is a file", u"C:\\Logs",
       [](FakeFileSystem& f) { f.disk().AddFolder(u"C:\\"); f.disk().AddFile(u"C:\\Logs"); }, {}, false},
      {"creation refused", u"C:\\Logs",
       [](FakeFileSystem& f) { f.disk().AddFolder(u"C:\\"); f.DenyCreateFolder(true); }, {u"C:\\Logs"},
       false},
      {"missing drive", u"Q:\\Logs", drive, {u"Q:"}, false},
      {"log path of 259 characters", u"C:\\" + longest.substr(3), drive,
       {u"C:\\" + longest.substr(3)}, true},
      {"log path of 260 characters", u"C:\\" + longest.substr(2), drive, {}, false},
  };
  for (const FolderCase& c : cases) {
    FakeFileSystem files;
    c.arrange(files);
    RunLog log;
    log.Open(clock_, files, c.folder);
    EXPECT_EQ(log.IsOpen(), c.opens) << c.what;
    std::vector<std::u16string> created;
    for (const Op& op : files.OperationsOf(Op::kCreateFolder)) created.push_back(op.path);
    EXPECT_EQ(created, c.created) << c.what;
    if (c.opens) {
      EXPECT_TRUE(files.disk().Contents(RunLogPath(c.folder, u"Scheduler061226164509.log"))) << c.what;
    }
  }
}

TEST_F(RunLogTest, APathLongerThanWindowsOpensIsNotTriedAtAll) {
  files_.disk().AddFolder(u"C:\\" + std::u16string(300, u'x'));
  log_.Open(clock_, files_, u"C:\\" + std::u16string(300, u'x'));
  EXPECT_FALSE(log_.IsOpen());
  EXPECT_TRUE(files_.operations().empty());
  EXPECT_EQ(log_.path().size(), 3 + 300 + 26u);  // not cut short
}

TEST_F(RunLogTest, WritesEntriesAsStampedChunksOfAtMost200Units) {
  const std::string stamp = "\r\n06-12-26 16:45:09: ";
  struct Case {
    const char* name;
    std::u16string message;
    std::vector<std::string> appends;
  } cases[] = {
      {"plain", u"KSScheduler: MAPILogonEx", {stamp + "KSScheduler: MAPILogonEx"}},
      {"empty", u"", {stamp}},
      {"181 fills the line", std::u16string(181, u'a'), {stamp + std::string(181, 'a')}},
      {"182 spills one", std::u16string(182, u'a'), {stamp + std::string(181, 'a'), "\r\na"}},
      {"450", std::u16string(450, u'b'),
       {stamp + std::string(181, 'b'), "\r\n" + std::string(200, 'b'), "\r\n" + std::string(69, 'b')}},
      {"LF inside", u"a\nb", {stamp + "a\r\nb"}},
      {"CR LF inside", u"Invalid parameter.\r\n", {stamp + "Invalid parameter.\r\r\n"}},
      {"Latin-1", u"caf\u00e9 \u00ff\u0080", {stamp + "caf\xe9 \xff\x80"}},
      {"above U+00FF", u"a\u20acb\u4e2d", {stamp + "a?b?"}},
      // The LF counts as one unit of the 200 and becomes two bytes afterwards.
      {"LF at the cut", std::u16string(180, u'c') + u"\nd",
       {stamp + std::string(180, 'c') + "\r\n", "\r\nd"}},
  };
  for (const Case& c : cases) {
    FakeFileSystem files;
    files.disk().AddFolder(u"C:\\Logs");
    RunLog log;
    log.Open(clock_, files, u"C:\\Logs");
    log.Write(c.message);

    std::vector<std::string> appends;
    std::string all;
    for (const Op& op : files.operations()) {
      if (op.kind == Op::kAppend) {
        appends.push_back(op.bytes);
        all += op.bytes;
      }
    }
    EXPECT_EQ(appends, c.appends) << c.name;
    EXPECT_EQ(files.disk().Contents(kLogPath), all) << c.name;
    // Each chunk: one move to the end, then its bytes in one append.
    const auto& ops = files.operations();
    const auto firstSeek = files.operations().size() - 2 * c.appends.size();
    for (std::size_t i = firstSeek; i < ops.size(); i += 2) {
      EXPECT_EQ(ops[i].kind, Op::kSeekToEnd) << c.name;
      EXPECT_EQ(ops[i + 1].kind, Op::kAppend) << c.name;
    }
  }
}

TEST_F(RunLogTest, StampsEachEntryWithItsOwnTimeOnce) {
  log_.Open(clock_, files_, u"C:\\Logs");
  log_.Write(u"one");
  clock_.Sleep(15000);
  const int conversionsBefore = clock_.toLocalCalls();
  log_.Write(std::u16string(450, u'x'));
  EXPECT_EQ(clock_.toLocalCalls() - conversionsBefore, 1);
  EXPECT_EQ(Log(), "\r\n06-12-26 16:45:09: one\r\n06-12-26 16:45:24: " + std::string(181, 'x') +
                       "\r\n" + std::string(200, 'x') + "\r\n" + std::string(69, 'x'));
}

TEST_F(RunLogTest, FailedAppendIsDroppedAndLaterChunksStillGo) {
  log_.Open(clock_, files_, u"C:\\Logs");
  files_.FailAppend(true);
  EXPECT_NO_THROW(log_.Write(std::u16string(300, u'x')));
  EXPECT_EQ(files_.OperationsOf(Op::kAppend).size(), 2u);
  files_.FailAppend(false);
  log_.Write(u"after");
  EXPECT_EQ(Log(), "\r\n06-12-26 16:45:09: after");
}

TEST_F(RunLogTest, BadSeekThrowsAFileExceptionNamingTheLog) {
  log_.Open(clock_, files_, u"C:\\Logs");
  files_.FailSeekToEnd(true);
  test::FakeSystemMessages messages;
  try {
    log_.Write(u"KSScheduler: MAPI Logoff");
    ADD_FAILURE() << "no exception";
  } catch (CException* e) {
    auto* file = dynamic_cast<CFileException*>(e);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->cause(), CFileException::kBadSeek);
    char16_t text[512] = {};
    EXPECT_TRUE(e->GetErrorMessage(text, 511, messages));
    EXPECT_EQ(std::u16string(text), u"Seek failed on C:\\Logs\\Scheduler061226164509.log");
    e->Delete();
  }
  EXPECT_TRUE(files_.OperationsOf(Op::kAppend).empty());
}

TEST_F(RunLogTest, WriteQuietlyDropsABadSeek) {
  log_.Open(clock_, files_, u"C:\\Logs");
  files_.FailSeekToEnd(true);
  log_.WriteQuietly(u"Block Larkspan Toolbar Load");  // ASan reports the exception if it leaks
  files_.FailSeekToEnd(false);
  log_.WriteQuietly(u"De-Block Larkspan Toolbar Load");
  EXPECT_EQ(Log(), "\r\n06-12-26 16:45:09: De-Block Larkspan Toolbar Load");
}

TEST_F(RunLogTest, ClosesTheFileWithTheLog) {
  {
    RunLog log;
    log.Open(clock_, files_, u"C:\\Logs");
    EXPECT_EQ(files_.openFiles(), 1);
  }
  EXPECT_EQ(files_.openFiles(), 0);
}

// Given one entry in C:\Logs (or elsewhere), whether a run started at
// `start` that keeps logs for `days` days deletes it.
struct RetentionCase {
  const char* what;
  std::u16string path;
  bool deleted;
  std::int32_t days = 30;
  LocalTime start = kSixDecember;  // 06-12-26 16:45:09
  enum Kind { kFile, kReadOnly, kFolder, kLink } kind = kFile;
};

void PrintTo(const RetentionCase& c, std::ostream* out) { *out << c.what; }

class Retention : public testing::TestWithParam<RetentionCase> {};

TEST_P(Retention, DeletesExactlyTheOldLogs) {
  const RetentionCase& c = GetParam();
  FakeFileSystem files;
  files.disk().AddFolder(u"C:\\Logs");
  files.disk().AddFolder(u"C:\\Logs\\sub");
  files.disk().AddFolder(u"C:\\Other");
  switch (c.kind) {
    case RetentionCase::kFile: files.disk().AddFile(c.path, "old"); break;
    case RetentionCase::kReadOnly: files.disk().AddFile(c.path, "old", true); break;
    case RetentionCase::kFolder: files.disk().AddFolder(c.path); break;
    case RetentionCase::kLink: files.disk().AddLink(c.path); break;
  }
  DeleteOldRunLogs(files, u"C:\\Logs\\", c.start, c.days, kLogPath);
  const bool present = files.disk().Contents(c.path).has_value() || files.disk().FolderExists(c.path);
  EXPECT_EQ(!present, c.deleted) << c.what;
  const bool tried = !files.OperationsOf(Op::kRemoveFile).empty();
  EXPECT_EQ(tried, c.deleted || c.kind == RetentionCase::kReadOnly) << c.what;
  EXPECT_EQ(files.OperationsOf(Op::kListFolder).size(), c.days > 0 ? 1u : 0u) << c.what;
}

constexpr LocalTime kNewYear{2027, 1, 2, 0, 0, 0};
using R = RetentionCase;
INSTANTIATE_TEST_SUITE_P(
    Table, Retention,
    testing::Values(
        R{"exactly 30 days old", u"C:\\Logs\\Scheduler061126164509.log", false},
        R{"a second under 30 days", u"C:\\Logs\\Scheduler061126164510.log", false},
        R{"a second over 30 days", u"C:\\Logs\\Scheduler061126164508.log", true},
        R{"a year old", u"C:\\Logs\\Scheduler061225164509.log", true},
        R{"over a year boundary", u"C:\\Logs\\Scheduler311226235959.log", true, 1, kNewYear},
        R{"one day before a new year", u"C:\\Logs\\Scheduler010127000000.log", false, 1, kNewYear},
        R{"newer than the run", u"C:\\Logs\\Scheduler071226000000.log", false},
        R{"another prefix", u"C:\\Logs\\XScheduler061125000000.log", false},
        R{"another letter case", u"C:\\Logs\\scheduler061125000000.log", false},
        R{"another letter case of the extension", u"C:\\Logs\\Scheduler061125000000.LOG", false},
        R{"another extension", u"C:\\Logs\\Scheduler061125000000.txt", false},
        R{"a longer extension", u"C:\\Logs\\Scheduler061125000000.logs", false},
        R{"11 digits", u"C:\\Logs\\Scheduler06112500000.log", false},
        R{"13 digits", u"C:\\Logs\\Scheduler0611250000000.log", false},
        R{"a blank in the digits", u"C:\\Logs\\Scheduler 61125000000.log", false},
        R{"31 November", u"C:\\Logs\\Scheduler311125000000.log", false},
        R{"29 February of a common year", u"C:\\Logs\\Scheduler290225000000.log", false},
        R{"29 February of a leap year", u"C:\\Logs\\Scheduler290224000000.log", true},
        R{"second 60", u"C:\\Logs\\Scheduler061125000060.log", false},
        R{"hour 24", u"C:\\Logs\\Scheduler061125240000.log", false},
        R{"its own log, even when old", std::u16string(kLogPath), false, 1, kNewYear},
        R{"a read-only old log", u"C:\\Logs\\Scheduler061125000000.log", false, 30, kSixDecember,
          R::kReadOnly},
        R{"a folder named like an old log", u"C:\\Logs\\Scheduler061125000000.log", false, 30,
          kSixDecember, R::kFolder},
        R{"a link named like an old log", u"C:\\Logs\\Scheduler061125000000.log", false, 30,
          kSixDecember, R::kLink},
        R{"in a folder inside", u"C:\\Logs\\sub\\Scheduler061125000000.log", false},
        R{"in another folder", u"C:\\Other\\Scheduler061125000000.log", false},
        R{"0 days keeps all", u"C:\\Logs\\Scheduler061100000000.log", false, 0},
        R{"negative keeps all", u"C:\\Logs\\Scheduler061100000000.log", false, -5},
        R{"the largest value", u"C:\\Logs\\Scheduler010100000000.log", false, 0x7FFFFFFF},
        R{"3650 days", u"C:\\Logs\\Scheduler051216164508.log", true, 3650}),
    [](const testing::TestParamInfo<RetentionCase>& row) { return std::to_string(row.index); });

TEST(RetentionDays, MissingZeroAndNegativeKeepEveryLog) {
  const std::pair<std::uint32_t, std::int32_t> cases[] = {
      {0, 0}, {1, 1}, {30, 30}, {3650, 3650}, {0x7FFFFFFF, 0x7FFFFFFF}, {0x80000000, 0}, {0xFFFFFFFF, 0}};
  for (const auto& [stored, days] : cases) EXPECT_EQ(RetentionDays(stored), days) << stored;
}

}  // namespace
}  // namespace lss
