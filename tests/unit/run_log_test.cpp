#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "diag/exceptions.h"
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
  RunLogTest() : clock_(kSixDecember) { files_.AddFolder(u"C:\\Logs"); }

  std::string Log() const { return files_.Contents(kLogPath).value_or("<no file>"); }

  FakeClock clock_;
  FakeFileSystem files_;
  RunLog log_;
};

TEST_F(RunLogTest, NamesTheFileAfterFolderAndLocalTime) {
  files_.AddFolder(u"D:\\");
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
    EXPECT_TRUE(files_.Contents(c.expected).has_value());
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
  EXPECT_EQ(files_.Contents(u"C:\\Logs\\Scheduler.log"), "\r\n x");
}

TEST_F(RunLogTest, AppendsToAWritableFileOfTheSameName) {
  files_.AddFile(kLogPath, "\r\n06-12-26 16:45:09: first run");
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
      {"missing folder", [](FakeFileSystem&) {}},
      {"read-only file", [](FakeFileSystem& f) { f.AddFile(kLogPath, "old", true); }},
      {"create fails", [](FakeFileSystem& f) { f.AddFolder(u"C:\\Logs"); f.FailCreate(true); }},
      {"open fails", [](FakeFileSystem& f) { f.AddFile(kLogPath, "old"); f.FailOpenExisting(true); }},
      {"name is a folder", [](FakeFileSystem& f) { f.AddFolder(kLogPath); }},
  };
  for (const Case& c : cases) {
    FakeFileSystem files;
    c.arrange(files);
    RunLog log;
    log.Open(clock_, files, u"C:\\Logs");
    log.Write(u"lost");
    EXPECT_FALSE(log.IsOpen()) << c.name;
    EXPECT_TRUE(files.OperationsOf(Op::kAppend).empty()) << c.name;
    const auto contents = files.Contents(kLogPath);
    EXPECT_TRUE(!contents || *contents == "old") << c.name;
  }
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
    files.AddFolder(u"C:\\Logs");
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
    EXPECT_EQ(files.Contents(kLogPath), all) << c.name;
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

}  // namespace
}  // namespace lss
