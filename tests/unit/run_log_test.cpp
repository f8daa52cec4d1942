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

using test::PrintTo;

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

const std::u16string kLog(kLogPath);
constexpr std::u16string_view kLogName = u"Scheduler061226164509.log";
const std::u16string kLongest = u"C:\\" + std::u16string(259 - 29, u'x');  // its log: 259
const std::u16string kTooLong = u"C:\\" + std::u16string(300, u'x');

const OpenCase kOpenings[] = {
    {.what = "existing folder",
     .folder = u"C:\\Logs",
     .folders = u"C:\\Logs|",
     .opens = true,
     .path = kLog},
    {.what = "no local time",
     .folder = u"C:\\Logs",
     .folders = u"C:\\Logs|",
     .opens = true,
     .path = u"C:\\Logs\\Scheduler.log",
     .noLocalTime = true},
    {.what = "a trailing backslash",
     .folder = u"C:\\Logs\\",
     .folders = u"C:\\Logs|",
     .opens = true,
     .path = kLog},
    {.what = "forward slashes",
     .folder = u"C:/Logs/",
     .folders = u"C:\\Logs|",
     .opens = true,
     .path = u"C:/Logs/\\" + std::u16string(kLogName)},
    {.what = "a drive",
     .folder = u"D:\\",
     .folders = u"D:\\|",
     .opens = true,
     .path = u"D:\\Scheduler061226164509.log"},
    {.what = "missing folder",
     .folder = u"C:\\Logs",
     .folders = u"C:\\|",
     .created = u"C:\\Logs|",
     .opens = true},
    {.what = "missing parents",
     .folder = u"C:\\Users\\ana\\Logs\\",
     .folders = u"C:\\|",
     .created = u"C:\\Users|C:\\Users\\ana|C:\\Users\\ana\\Logs|",
     .opens = true},
    {.what = "forward slashes, missing",
     .folder = u"C:/Users/ana/",
     .folders = u"C:\\|",
     .created = u"C:/Users|C:/Users/ana|",
     .opens = true},
    {.what = "log path of 259 characters",
     .folder = kLongest,
     .folders = u"C:\\|",
     .created = kLongest + u"|",
     .opens = true},
    {.what = "log path of 260 characters",
     .folder = kLongest + u"x",
     .folders = u"C:\\|",
     .disk = kUntried,
     .opens = false},
    {.what = "longer than Windows opens, not cut short",
     .folder = kTooLong,
     .folders = kTooLong + u"|",
     .disk = kUntried,
     .opens = false,
     .path = kTooLong + u"\\" + std::u16string(kLogName)},
    {.what = "no folder: no log", .folder = u"", .folders = u"", .disk = kUntried, .opens = false},
    {.what = "a parent that is a file",
     .folder = u"C:\\Users\\ana\\Logs",
     .folders = u"C:\\|",
     .files = u"C:\\Users|",
     .created = u"C:\\Users|C:\\Users\\ana|",
     .opens = false},
    {.what = "the folder is a file",
     .folder = u"C:\\Logs",
     .folders = u"C:\\|",
     .files = u"C:\\Logs|",
     .opens = false},
    {.what = "creation refused",
     .folder = u"C:\\Logs",
     .folders = u"C:\\|",
     .disk = kDenyCreateFolder,
     .created = u"C:\\Logs|",
     .opens = false},
    {.what = "missing drive",
     .folder = u"Q:\\Logs",
     .folders = u"C:\\|",
     .created = u"Q:|",
     .opens = false},
    {.what = "a writable file of that name",
     .folder = u"C:\\Logs",
     .folders = u"C:\\Logs|",
     .files = kLog + u"|",
     .opens = true},
    {.what = "read-only file",
     .folder = u"C:\\Logs",
     .folders = u"C:\\Logs|",
     .files = kLog + u"|",
     .disk = kReadOnly,
     .opens = false},
    {.what = "create fails",
     .folder = u"C:\\Logs",
     .folders = u"C:\\Logs|",
     .disk = kFailCreate,
     .opens = false},
    {.what = "open fails",
     .folder = u"C:\\Logs",
     .folders = u"C:\\Logs|",
     .files = kLog + u"|",
     .disk = kFailOpen,
     .opens = false},
    {.what = "name is a folder",
     .folder = u"C:\\Logs",
     .folders = u"C:\\Logs|" + kLog + u"|",
     .opens = false},
};

class RunLogOpening : public testing::TestWithParam<OpenCase> {};

TEST_P(RunLogOpening, OpensInTheFolderItIsGivenCreatingItWithItsParents) {
  const OpenCase& c = GetParam();
  const auto each = [](std::u16string_view list, auto&& add) {
    for (std::size_t at = 0, end; (end = list.find(u'|', at)) != list.npos; at = end + 1) {
      add(list.substr(at, end - at));
    }
  };
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
      c.path.empty() && !c.folder.empty() ? RunLogPath(c.folder, kLogName) : c.path;
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

INSTANTIATE_TEST_SUITE_P(, RunLogOpening, testing::ValuesIn(kOpenings), test::RowName);

// An entry written 15 seconds after the log opened: stamped once, with its
// own time, in chunks. A failed append is dropped; the next chunk still goes,
// and so does the next entry once appends work again.
const std::string kStamp = "\r\n06-12-26 16:45:24: ";

struct WriteCase {
  const char* what;
  std::u16string message;
  std::vector<std::string> appends;  // the next entry's too
  bool appendsFail = false;
  std::u16string next = {};  // an entry written after the appends work again
};

const WriteCase kWrites[] = {
    {.what = "empty", .message = u"", .appends = {kStamp}},
    {.what = "181 fills the line",
     .message = std::u16string(181, u'a'),
     .appends = {kStamp + std::string(181, 'a')}},
    {.what = "182 spills one",
     .message = std::u16string(182, u'a'),
     .appends = {kStamp + std::string(181, 'a'), "\r\na"}},
    {.what = "450",
     .message = std::u16string(450, u'b'),
     .appends = {kStamp + std::string(181, 'b'), "\r\n" + std::string(200, 'b'),
                 "\r\n" + std::string(69, 'b')}},
    {.what = "LF inside", .message = u"a\nb", .appends = {kStamp + "a\r\nb"}},
    {.what = "CR LF inside",
     .message = u"Invalid parameter.\r\n",
     .appends = {kStamp + "Invalid parameter.\r\r\n"}},
    {.what = "Latin-1",
     .message = u"caf\u00e9 \u00ff\u0080",
     .appends = {kStamp + "caf\xe9 \xff\x80"}},
    {.what = "above U+00FF", .message = u"a\u20acb\u4e2d", .appends = {kStamp + "a?b?"}},
    // The LF counts as one unit of the 200 and becomes two bytes afterwards.
    {.what = "LF at the cut",
     .message = std::u16string(180, u'c') + u"\nd",
     .appends = {kStamp + std::string(180, 'c') + "\r\n", "\r\nd"}},
    {.what = "appends fail",
     .message = std::u16string(300, u'e'),
     .appends = {kStamp + std::string(181, 'e'), "\r\n" + std::string(119, 'e')},
     .appendsFail = true},
    {.what = "an entry after a failed append",
     .message = u"lost",
     .appends = {kStamp + "lost", kStamp + "kept"},
     .appendsFail = true,
     .next = u"kept"},
};

class RunLogEntries : public testing::TestWithParam<WriteCase> {};

TEST_P(RunLogEntries, AreWrittenAsStampedChunksOfAtMost200Units) {
  const WriteCase& c = GetParam();
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

INSTANTIATE_TEST_SUITE_P(, RunLogEntries, testing::ValuesIn(kWrites), test::RowName);

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

const RetentionCase kRetention[] = {
    {.what = "exactly 30 days old",
     .path = u"C:\\Logs\\Scheduler061126164509.log",
     .deleted = false},
    {.what = "a second under 30 days",
     .path = u"C:\\Logs\\Scheduler061126164510.log",
     .deleted = false},
    {.what = "a second over 30 days",
     .path = u"C:\\Logs\\Scheduler061126164508.log",
     .deleted = true},
    {.what = "a year old", .path = u"C:\\Logs\\Scheduler061225164509.log", .deleted = true},
    {.what = "over a year boundary",
     .path = u"C:\\Logs\\Scheduler311226235959.log",
     .deleted = true,
     .days = 1,
     .start = kNewYear},
    {.what = "one day before a new year",
     .path = u"C:\\Logs\\Scheduler010127000000.log",
     .deleted = false,
     .days = 1,
     .start = kNewYear},
    {.what = "newer than the run",
     .path = u"C:\\Logs\\Scheduler071226000000.log",
     .deleted = false},
    // Named under a wrong clock: such a log cannot be dated.
    {.what = "a day ahead of the run",
     .path = u"C:\\Logs\\Scheduler071226164509.log",
     .deleted = false},
    {.what = "a day and a second ahead of the run",
     .path = u"C:\\Logs\\Scheduler071226164510.log",
     .deleted = false},
    {.what = "named in 2099", .path = u"C:\\Logs\\Scheduler311299235959.log", .deleted = false},
    {.what = "named in 2070, a day kept",
     .path = u"C:\\Logs\\Scheduler010170000000.log",
     .deleted = false,
     .days = 1},
    {.what = "another prefix", .path = u"C:\\Logs\\XScheduler061125000000.log", .deleted = false},
    {.what = "another letter case",
     .path = u"C:\\Logs\\scheduler061125000000.log",
     .deleted = false},
    {.what = "another letter case of the extension",
     .path = u"C:\\Logs\\Scheduler061125000000.LOG",
     .deleted = false},
    {.what = "another extension", .path = u"C:\\Logs\\Scheduler061125000000.txt", .deleted = false},
    {.what = "a longer extension",
     .path = u"C:\\Logs\\Scheduler061125000000.logs",
     .deleted = false},
    {.what = "11 digits", .path = u"C:\\Logs\\Scheduler06112500000.log", .deleted = false},
    {.what = "13 digits", .path = u"C:\\Logs\\Scheduler0611250000000.log", .deleted = false},
    {.what = "a blank in the digits",
     .path = u"C:\\Logs\\Scheduler 61125000000.log",
     .deleted = false},
    {.what = "31 November", .path = u"C:\\Logs\\Scheduler311125000000.log", .deleted = false},
    {.what = "29 February of a common year",
     .path = u"C:\\Logs\\Scheduler290225000000.log",
     .deleted = false},
    {.what = "29 February of a leap year",
     .path = u"C:\\Logs\\Scheduler290224000000.log",
     .deleted = true},
    {.what = "second 60", .path = u"C:\\Logs\\Scheduler061125000060.log", .deleted = false},
    {.what = "hour 24", .path = u"C:\\Logs\\Scheduler061125240000.log", .deleted = false},
    {.what = "its own log, even when old",
     .path = std::u16string(kLogPath),
     .deleted = false,
     .days = 1,
     .start = kNewYear},
    {.what = "a read-only old log",
     .path = u"C:\\Logs\\Scheduler061125000000.log",
     .deleted = false,
     .kind = RetentionCase::kReadOnlyFile},
    {.what = "a folder named like an old log",
     .path = u"C:\\Logs\\Scheduler061125000000.log",
     .deleted = false,
     .kind = RetentionCase::kFolder},
    {.what = "a link named like an old log",
     .path = u"C:\\Logs\\Scheduler061125000000.log",
     .deleted = false,
     .kind = RetentionCase::kLink},
    {.what = "in a folder inside",
     .path = u"C:\\Logs\\sub\\Scheduler061125000000.log",
     .deleted = false},
    {.what = "in another folder",
     .path = u"C:\\Other\\Scheduler061125000000.log",
     .deleted = false},
    {.what = "0 days keeps all",
     .path = u"C:\\Logs\\Scheduler061100000000.log",
     .deleted = false,
     .days = 0},
    {.what = "negative keeps all",
     .path = u"C:\\Logs\\Scheduler061100000000.log",
     .deleted = false,
     .days = -5},
    {.what = "the largest value",
     .path = u"C:\\Logs\\Scheduler010100000000.log",
     .deleted = false,
     .days = 0x7FFFFFFF},
    {.what = "3650 days",
     .path = u"C:\\Logs\\Scheduler051216164508.log",
     .deleted = true,
     .days = 3650},
};

class Retention : public testing::TestWithParam<RetentionCase> {};

TEST_P(Retention, DeletesExactlyTheOldLogs) {
  const RetentionCase& c = GetParam();
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

INSTANTIATE_TEST_SUITE_P(, Retention, testing::ValuesIn(kRetention), test::RowName);

// Given LogRetentionDays as stored, the days a run keeps logs for; 0 keeps every log.
struct DaysCase {
  const char* what;
  std::uint32_t stored;
  std::int32_t days;
};

const DaysCase kDays[] = {
    {.what = "0 keeps every log", .stored = 0, .days = 0},
    {.what = "1 day", .stored = 1, .days = 1},
    {.what = "30 days", .stored = 30, .days = 30},
    {.what = "3650 days", .stored = 3650, .days = 3650},
    {.what = "the largest value", .stored = 0x7FFFFFFF, .days = 0x7FFFFFFF},
    {.what = "the most negative value keeps every log", .stored = 0x80000000, .days = 0},
    {.what = "minus one keeps every log", .stored = 0xFFFFFFFF, .days = 0},
};

class LogRetentionDays : public testing::TestWithParam<DaysCase> {};

TEST_P(LogRetentionDays, AreTheStoredNumberWhereZeroAndNegativeKeepEveryLog) {
  EXPECT_EQ(RetentionDays(GetParam().stored), GetParam().days);
}

INSTANTIATE_TEST_SUITE_P(, LogRetentionDays, testing::ValuesIn(kDays), test::RowName);

}  // namespace
}  // namespace lss
