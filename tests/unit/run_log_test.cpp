#include "diag/run_log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "diag/exceptions.h"
#include "diag/log_retention.h"
#include "fake/fake_clock.h"
#include "fake/fake_file_system.h"
#include "fake/fake_system_messages.h"
#include "unit_tables.h"

namespace lss {
namespace {

using test::FakeClock;
using test::FakeFileSystem;
using Op = FakeFileSystem::Operation;

constexpr LocalTime kSixDecember{2026, 12, 6, 16, 45, 9};
constexpr std::u16string_view kLogPath = u"C:\\Logs\\Scheduler061226164509.log";

// Given the folder a run names and what the disk holds, the folders it
// creates on the way (in order), whether the log opens and its path. A log
// appends to what was there, or when it does not open writes nothing and
// leaves it. A time the clock cannot convert leaves the stamps empty. Lists
// are texts, each item followed by |.
enum Disk { kReadOnly = 1, kFailCreate = 2, kFailOpen = 4, kDenyCreateFolder = 8, kUntried = 16 };
struct OpenCase {
  const char* what;
  std::u16string folder;
  std::u16string folders, files;  // there before; the files hold "old"
  int disk;                       // Disk flags
  std::u16string created;
  bool opens;
  std::u16string path = {};  // empty: RunLogPath's
  bool noLocalTime = false;
};

TEST(RunLog, OpensInTheFolderItIsGivenCreatingItWithItsParents) {
  const std::u16string log(kLogPath), name = u"\\Scheduler061226164509.log";
  const std::u16string longest = u"C:\\" + std::u16string(259 - 29, u'x');  // its log: 259
  const std::u16string tooLong = u"C:\\" + std::u16string(300, u'x');
  const OpenCase cases[] = {
      {"existing folder", u"C:\\Logs", u"C:\\Logs|", u"", 0, u"", true, log},
      {"no local time", u"C:\\Logs", u"C:\\Logs|", u"", 0, u"", true, u"C:\\Logs\\Scheduler.log",
       true},
      {"a trailing backslash", u"C:\\Logs\\", u"C:\\Logs|", u"", 0, u"", true, log},
      {"forward slashes", u"C:/Logs/", u"C:\\Logs|", u"", 0, u"", true, u"C:/Logs/" + name},
      {"a drive", u"D:\\", u"D:\\|", u"", 0, u"", true, u"D:\\Scheduler061226164509.log"},
      {"missing folder", u"C:\\Logs", u"C:\\|", u"", 0, u"C:\\Logs|", true},
      {"missing parents", u"C:\\Users\\ana\\Logs\\", u"C:\\|", u"", 0,
       u"C:\\Users|C:\\Users\\ana|C:\\Users\\ana\\Logs|", true},
      {"forward slashes, missing", u"C:/Users/ana/", u"C:\\|", u"", 0, u"C:/Users|C:/Users/ana|",
       true},
      {"log path of 259 characters", longest, u"C:\\|", u"", 0, longest + u"|", true},
      {"log path of 260 characters", longest + u"x", u"C:\\|", u"", kUntried, u"", false},
      {"longer than Windows opens, not cut short", tooLong, tooLong + u"|", u"", kUntried, u"",
       false, tooLong + name},
      {"no folder: no log", u"", u"", u"", kUntried, u"", false},
      {"a parent that is a file", u"C:\\Users\\ana\\Logs", u"C:\\|", u"C:\\Users|", 0,
       u"C:\\Users|C:\\Users\\ana|", false},
      {"the folder is a file", u"C:\\Logs", u"C:\\|", u"C:\\Logs|", 0, u"", false},
      {"creation refused", u"C:\\Logs", u"C:\\|", u"", kDenyCreateFolder, u"C:\\Logs|", false},
      {"missing drive", u"Q:\\Logs", u"C:\\|", u"", 0, u"Q:|", false},
      {"a writable file of that name", u"C:\\Logs", u"C:\\Logs|", log + u"|", 0, u"", true},
      {"read-only file", u"C:\\Logs", u"C:\\Logs|", log + u"|", kReadOnly, u"", false},
      {"create fails", u"C:\\Logs", u"C:\\Logs|", u"", kFailCreate, u"", false},
      {"open fails", u"C:\\Logs", u"C:\\Logs|", log + u"|", kFailOpen, u"", false},
      {"name is a folder", u"C:\\Logs", u"C:\\Logs|" + log + u"|", u"", 0, u"", false},
  };
  const auto each = [](std::u16string_view list, auto&& add) {
    for (std::size_t at = 0, end; (end = list.find(u'|', at)) != list.npos; at = end + 1) {
      add(list.substr(at, end - at));
    }
  };
  for (const OpenCase& c : cases) {
    SCOPED_TRACE(c.what);
    FakeClock clock(kSixDecember);
    FakeFileSystem files;
    each(c.folders, [&](std::u16string_view folder) { files.disk().AddFolder(folder); });
    each(c.files,
         [&](std::u16string_view file) { files.disk().AddFile(file, "old", c.disk & kReadOnly); });
    files.FailCreate(c.disk & kFailCreate);
    files.FailOpenExisting(c.disk & kFailOpen);
    files.DenyCreateFolder(c.disk & kDenyCreateFolder);
    clock.FailToLocal(c.noLocalTime);
    const std::u16string path =
        c.path.empty() && !c.folder.empty() ? RunLogPath(c.folder, name.substr(1)) : c.path;
    {
      RunLog opened;
      opened.Open(clock, files, c.folder);
      opened.Write(u"x");
      EXPECT_EQ(opened.IsOpen(), c.opens);
      EXPECT_EQ(opened.path(), path);
      EXPECT_EQ(files.openFiles(), c.opens ? 1 : 0);
    }
    EXPECT_EQ(files.openFiles(), 0) << "the file closes with the log";
    std::vector<std::u16string> created;
    for (const Op& op : files.OperationsOf(Op::kCreateFolder)) created.push_back(op.path);
    EXPECT_EQ(test::Joined(created), c.created);
    std::optional<std::string> contents;
    if (c.files.starts_with(path + u"|")) contents = "old";
    const char* entry = c.noLocalTime ? "\r\n x" : "\r\n06-12-26 16:45:09: x";
    if (c.opens) contents = contents.value_or("") + entry;
    EXPECT_EQ(files.disk().Contents(path), contents);
    if (!c.opens) {
      EXPECT_TRUE(files.OperationsOf(Op::kAppend).empty());
    }
    if (c.disk & kUntried) {
      EXPECT_TRUE(files.operations().empty());
    }
  }
}

// An entry written 15 seconds after the log opened: stamped once, with its
// own time, in chunks. A failed append is dropped; the next chunk still goes,
// and so does the next entry once appends work again.
TEST(RunLog, WritesEntriesAsStampedChunksOfAtMost200Units) {
  const std::string stamp = "\r\n06-12-26 16:45:24: ";
  struct Case {
    const char* name;
    std::u16string message;
    std::vector<std::string> appends;  // the next entry's too
    bool appendsFail = false;
    std::u16string next = {};  // an entry written after the appends work again
  } cases[] = {
      {"empty", u"", {stamp}},
      {"181 fills the line", std::u16string(181, u'a'), {stamp + std::string(181, 'a')}},
      {"182 spills one", std::u16string(182, u'a'), {stamp + std::string(181, 'a'), "\r\na"}},
      {"450",
       std::u16string(450, u'b'),
       {stamp + std::string(181, 'b'), "\r\n" + std::string(200, 'b'),
        "\r\n" + std::string(69, 'b')}},
      {"LF inside", u"a\nb", {stamp + "a\r\nb"}},
      {"CR LF inside", u"Invalid parameter.\r\n", {stamp + "Invalid parameter.\r\r\n"}},
      {"Latin-1", u"caf\u00e9 \u00ff\u0080", {stamp + "caf\xe9 \xff\x80"}},
      {"above U+00FF", u"a\u20acb\u4e2d", {stamp + "a?b?"}},
      // The LF counts as one unit of the 200 and becomes two bytes afterwards.
      {"LF at the cut",
       std::u16string(180, u'c') + u"\nd",
       {stamp + std::string(180, 'c') + "\r\n", "\r\nd"}},
      {"appends fail",
       std::u16string(300, u'e'),
       {stamp + std::string(181, 'e'), "\r\n" + std::string(119, 'e')},
       true},
      {"an entry after a failed append", u"lost", {stamp + "lost", stamp + "kept"}, true, u"kept"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeClock clock(kSixDecember);
    FakeFileSystem files;
    files.disk().AddFolder(u"C:\\Logs");
    RunLog log;
    log.Open(clock, files, u"C:\\Logs");
    files.FailAppend(c.appendsFail);
    clock.Sleep(15000);
    const int conversionsBefore = clock.toLocalCalls();
    log.Write(c.message);
    EXPECT_EQ(clock.toLocalCalls() - conversionsBefore, 1);
    if (!c.next.empty()) {
      files.FailAppend(false);
      log.Write(c.next);
    }
    // Each chunk: one move to the end, then its bytes in one append.
    std::vector<std::string> appends;
    std::string all;
    const auto& ops = files.operations();
    for (std::size_t i = ops.size() - 2 * c.appends.size(); i < ops.size(); i += 2) {
      EXPECT_EQ(ops[i].kind, Op::kSeekToEnd);
      EXPECT_EQ(ops[i + 1].kind, Op::kAppend);
      appends.push_back(ops[i + 1].bytes);
      all += ops[i + 1].bytes;
    }
    EXPECT_EQ(appends, c.appends);
    EXPECT_EQ(files.disk().Contents(kLogPath), !c.appendsFail   ? all
                                               : c.next.empty() ? ""
                                                                : appends.back());
  }
}

// Write throws it; WriteQuietly drops it, and a later entry still goes.
TEST(RunLog, BadSeekThrowsAFileExceptionNamingTheLogUnlessQuiet) {
  FakeClock clock(kSixDecember);
  FakeFileSystem files;
  files.disk().AddFolder(u"C:\\Logs");
  RunLog log;
  log.Open(clock, files, u"C:\\Logs");
  files.FailSeekToEnd(true);
  test::FakeSystemMessages messages;
  try {
    log.Write(u"KSScheduler: MAPI Logoff");
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
  EXPECT_TRUE(files.OperationsOf(Op::kAppend).empty());
  log.WriteQuietly(u"Block Larkspan Toolbar Load");  // ASan reports the exception if it leaks
  files.FailSeekToEnd(false);
  log.WriteQuietly(u"De-Block Larkspan Toolbar Load");
  EXPECT_EQ(files.disk().Contents(kLogPath),
            "\r\n06-12-26 16:45:09: De-Block Larkspan Toolbar Load");
}

// Given one entry in C:\Logs (or elsewhere), whether a run started at
// `start` that keeps logs for `days` days deletes it.
struct RetentionCase {
  const char* what;
  std::u16string path;
  bool deleted;
  std::int32_t days = 30;
  LocalTime start = kSixDecember;  // 06-12-26 16:45:09
  enum Kind { kFile, kReadOnlyFile, kFolder, kLink } kind = kFile;
};

constexpr LocalTime kNewYear{2027, 1, 2, 0, 0, 0};
using R = RetentionCase;

TEST(Retention, DeletesExactlyTheOldLogs) {
  const RetentionCase cases[] = {
      R{"exactly 30 days old", u"C:\\Logs\\Scheduler061126164509.log", false},
      R{"a second under 30 days", u"C:\\Logs\\Scheduler061126164510.log", false},
      R{"a second over 30 days", u"C:\\Logs\\Scheduler061126164508.log", true},
      R{"a year old", u"C:\\Logs\\Scheduler061225164509.log", true},
      R{"over a year boundary", u"C:\\Logs\\Scheduler311226235959.log", true, 1, kNewYear},
      R{"one day before a new year", u"C:\\Logs\\Scheduler010127000000.log", false, 1, kNewYear},
      R{"newer than the run", u"C:\\Logs\\Scheduler071226000000.log", false},
      // Named under a wrong clock: such a log cannot be dated.
      R{"a day ahead of the run", u"C:\\Logs\\Scheduler071226164509.log", false},
      R{"a day and a second ahead of the run", u"C:\\Logs\\Scheduler071226164510.log", false},
      R{"named in 2099", u"C:\\Logs\\Scheduler311299235959.log", false},
      R{"named in 2070, a day kept", u"C:\\Logs\\Scheduler010170000000.log", false, 1},
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
        R::kReadOnlyFile},
      R{"a folder named like an old log", u"C:\\Logs\\Scheduler061125000000.log", false, 30,
        kSixDecember, R::kFolder},
      R{"a link named like an old log", u"C:\\Logs\\Scheduler061125000000.log", false, 30,
        kSixDecember, R::kLink},
      R{"in a folder inside", u"C:\\Logs\\sub\\Scheduler061125000000.log", false},
      R{"in another folder", u"C:\\Other\\Scheduler061125000000.log", false},
      R{"0 days keeps all", u"C:\\Logs\\Scheduler061100000000.log", false, 0},
      R{"negative keeps all", u"C:\\Logs\\Scheduler061100000000.log", false, -5},
      R{"the largest value", u"C:\\Logs\\Scheduler010100000000.log", false, 0x7FFFFFFF},
      R{"3650 days", u"C:\\Logs\\Scheduler051216164508.log", true, 3650},
  };
  for (const RetentionCase& c : cases) {
    SCOPED_TRACE(c.what);
    FakeFileSystem files;
    for (const char16_t* folder : {u"C:\\Logs", u"C:\\Logs\\sub", u"C:\\Other"})
      files.disk().AddFolder(folder);
    switch (c.kind) {
      case RetentionCase::kFile: files.disk().AddFile(c.path, "old"); break;
      case RetentionCase::kReadOnlyFile: files.disk().AddFile(c.path, "old", true); break;
      case RetentionCase::kFolder: files.disk().AddFolder(c.path); break;
      case RetentionCase::kLink: files.disk().AddLink(c.path); break;
    }
    DeleteOldRunLogs(files, u"C:\\Logs\\", c.start, c.days, kLogPath);
    const bool present =
        files.disk().Contents(c.path).has_value() || files.disk().FolderExists(c.path);
    EXPECT_EQ(!present, c.deleted);
    const bool tried = !files.OperationsOf(Op::kRemoveFile).empty();
    EXPECT_EQ(tried, c.deleted || c.kind == RetentionCase::kReadOnlyFile);
    EXPECT_EQ(files.OperationsOf(Op::kListFolder).size(), c.days > 0 ? 1u : 0u);
  }
}

TEST(RetentionDays, MissingZeroAndNegativeKeepEveryLog) {
  const std::pair<std::uint32_t, std::int32_t> cases[] = {
      {0, 0},          {1, 1},         {30, 30}, {3650, 3650}, {0x7FFFFFFF, 0x7FFFFFFF},
      {0x80000000, 0}, {0xFFFFFFFF, 0}};
  for (const auto& [stored, days] : cases) EXPECT_EQ(RetentionDays(stored), days) << stored;
}

}  // namespace
}  // namespace lss
