// What the file system does: how files open and whether they keep their
// bytes, appends from two handles, how names of files and folders are read,
// the end of a file, what a path names, a part of a file, a listing, making
// folders, writing new files, and replacing and deleting files and folders.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/narrow.h"
#include "common/rows.h"
#include "contract/contract_machine.h"

namespace lss::contract {
namespace {

bool Append(File& file, std::string_view bytes) {
  return file.Append(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

class FileContract : public testing::Test {
 protected:
  std::u16string Path(std::u16string_view name) { return folder + u"\\" + std::u16string(name); }
  // A file's bytes as the check tool reads them; nothing when there is no file.
  std::optional<std::string> Read(std::u16string_view path) {
    const std::optional<FileSystem::Tail> tail = files.ReadTail(path, 64);
    return tail ? std::optional(tail->bytes) : std::nullopt;
  }
  // Logs, with Run.log, Locked.log (read-only), LSScheduler_1.log,
  // LSScheduler_2.log, notes.txt and a folder Old.log holding Inner.log.
  void PutLogs() {
    machine->PutFolder(u"Logs");
    machine->PutFile(u"Logs\\Run.log", "x", false);
    machine->PutFile(u"Logs\\Locked.log", "x", true);
    machine->PutFile(u"Logs\\LSScheduler_1.log", "abc", false);
    machine->PutFile(u"Logs\\LSScheduler_2.log", "", false);
    machine->PutFile(u"Logs\\notes.txt", "12345", false);
    machine->PutFolder(u"Logs\\Old.log");
    machine->PutFile(u"Logs\\Old.log\\Inner.log", "x", false);
  }

  std::unique_ptr<ContractMachine> machine = MakeContractMachine();
  FileSystem& files = machine->files();
  std::u16string folder = machine->Folder();
};

// --- opening for appending, replacing and deleting -------------------------------

enum class Call { kCreate, kOpenExisting, kCreateEmptyFile, kRemoveFile, kRemoveFolder };
// What has a name.
enum class Named { kNothing, kFile, kEmptyFile, kReadOnlyFile, kFolder, kFolderWithFile };

// What Create and OpenExisting answer when they give no file.
constexpr auto kNotOpened = static_cast<Status>(0xFFFFFFFFu);
constexpr Status kDirNotEmpty = 145;  // ERROR_DIR_NOT_EMPTY
constexpr Status kDirectory = 267;    // ERROR_DIRECTORY: not a folder

struct ChangeRow {
  const char* what;
  Call call;
  const char16_t* name;
  Named before = Named::kNothing;                   // a file (read-only or not) held "abc"
  Status status = 0;                                // Create and OpenExisting: 0 when a file opened
  std::optional<std::string> after = std::nullopt;  // after appending "+"; nothing: no file
  bool folderAfter = false;                         // a folder has the name afterwards
  const char* wineDiffers = nullptr;
};

class FileChanges : public FileContract, public testing::WithParamInterface<ChangeRow> {};

// Opening for appending never truncates; the check tool's probe file is made
// empty and deleted, and its probe folder removed, with Win32's error codes.
TEST_P(FileChanges, KeepOrReplaceTheBytesAsWin32Does) {
  const ChangeRow& row = GetParam();
  if (row.wineDiffers != nullptr && OnWine()) GTEST_SKIP() << row.wineDiffers;
  switch (row.before) {
    case Named::kNothing: break;
    case Named::kFile: machine->PutFile(row.name, "abc", false); break;
    case Named::kEmptyFile: machine->PutFile(row.name, "", false); break;
    case Named::kReadOnlyFile: machine->PutFile(row.name, "abc", true); break;
    case Named::kFolder: machine->PutFolder(row.name); break;
    case Named::kFolderWithFile:
      machine->PutFolder(row.name);
      machine->PutFile(std::u16string(row.name) + u"\\x", "", false);
      break;
  }
  const std::u16string path = Path(row.name);
  Status status = kNotOpened;
  switch (row.call) {
    case Call::kCreate:
    case Call::kOpenExisting:
      if (const auto file =
              row.call == Call::kCreate ? files.Create(path) : files.OpenExisting(path)) {
        status = 0;
        EXPECT_TRUE(file->SeekToEnd());
        EXPECT_TRUE(Append(*file, "+"));
      }
      break;
    case Call::kCreateEmptyFile: status = files.CreateEmptyFile(path); break;
    case Call::kRemoveFile: status = files.RemoveFile(path); break;
    case Call::kRemoveFolder: status = files.RemoveFolder(path); break;
  }
  EXPECT_EQ(status, row.status);
  EXPECT_EQ(Read(path), row.after);
  EXPECT_EQ(files.IsFolder(path), row.folderAfter);
}

INSTANTIATE_TEST_SUITE_P(
    , FileChanges,
    testing::ValuesIn(std::vector<ChangeRow>{
        {.what = "create a new file", .call = Call::kCreate, .name = u"S.log", .after = "+"},
        {.what = "create over an existing file",
         .call = Call::kCreate,
         .name = u"S.log",
         .before = Named::kFile,
         .after = "abc+"},
        {.what = "create over an empty file",
         .call = Call::kCreate,
         .name = u"S.log",
         .before = Named::kEmptyFile,
         .after = "+"},
        {.what = "open an existing file",
         .call = Call::kOpenExisting,
         .name = u"S.log",
         .before = Named::kFile,
         .after = "abc+"},
        {.what = "open a missing file",
         .call = Call::kOpenExisting,
         .name = u"S.log",
         .status = kNotOpened},
        {.what = "create over a read-only file",
         .call = Call::kCreate,
         .name = u"S.log",
         .before = Named::kReadOnlyFile,
         .status = kNotOpened,
         .after = "abc",
         .wineDiffers = kRootWritesReadOnlyFiles},
        {.what = "open a read-only file",
         .call = Call::kOpenExisting,
         .name = u"S.log",
         .before = Named::kReadOnlyFile,
         .status = kNotOpened,
         .after = "abc",
         .wineDiffers = kRootWritesReadOnlyFiles},
        {.what = "create in a missing folder",
         .call = Call::kCreate,
         .name = u"Gone\\S.log",
         .status = kNotOpened},
        {.what = "create where a folder has the name",
         .call = Call::kCreate,
         .name = u"S.log",
         .before = Named::kFolder,
         .status = kNotOpened,
         .folderAfter = true},
        {.what = "open a folder",
         .call = Call::kOpenExisting,
         .name = u"S.log",
         .before = Named::kFolder,
         .status = kNotOpened,
         .folderAfter = true},
        {.what = "delete a file",
         .call = Call::kRemoveFile,
         .name = u"a.log",
         .before = Named::kFile},
        {.what = "delete a read-only file",
         .call = Call::kRemoveFile,
         .name = u"a.log",
         .before = Named::kReadOnlyFile,
         .status = 5,
         .after = "abc"},
        {.what = "delete a missing file", .call = Call::kRemoveFile, .name = u"a.log", .status = 2},
        {.what = "delete in a missing folder",
         .call = Call::kRemoveFile,
         .name = u"Gone\\a.log",
         .status = 3},
        {.what = "delete a folder as a file",
         .call = Call::kRemoveFile,
         .name = u"Sub",
         .before = Named::kFolder,
         .status = 5,
         .folderAfter = true},
        {.what = "empty a new file", .call = Call::kCreateEmptyFile, .name = u"b.log", .after = ""},
        {.what = "empty a file",
         .call = Call::kCreateEmptyFile,
         .name = u"a.log",
         .before = Named::kFile,
         .after = ""},
        {.what = "empty a read-only file",
         .call = Call::kCreateEmptyFile,
         .name = u"a.log",
         .before = Named::kReadOnlyFile,
         .status = 5,
         .after = "abc",
         .wineDiffers = kRootWritesReadOnlyFiles},
        {.what = "empty a file in a missing folder",
         .call = Call::kCreateEmptyFile,
         .name = u"Gone\\b.log",
         .status = 3},
        {.what = "empty where a folder has the name",
         .call = Call::kCreateEmptyFile,
         .name = u"Sub",
         .before = Named::kFolder,
         .status = 5,
         .folderAfter = true},
        {.what = "remove an empty folder",
         .call = Call::kRemoveFolder,
         .name = u"Sub",
         .before = Named::kFolder},
        {.what = "remove a folder that holds a file",
         .call = Call::kRemoveFolder,
         .name = u"Sub",
         .before = Named::kFolderWithFile,
         .status = kDirNotEmpty,
         .folderAfter = true},
        {.what = "remove a missing folder",
         .call = Call::kRemoveFolder,
         .name = u"Sub",
         .status = 2},
        {.what = "remove a file as a folder",
         .call = Call::kRemoveFolder,
         .name = u"a.log",
         .before = Named::kFile,
         .status = kDirectory,
         .after = "abc"},
    }),
    test::RowName);

// --- two handles at once --------------------------------------------------------

struct TwoHandlesRow {
  const char* what;
  bool secondCreates;  // the second handle by Create, or by OpenExisting
  std::vector<std::pair<int, std::string>> appends;  // by handle 1 or 2, in order
  std::string after;
};

class TwoHandles : public FileContract, public testing::WithParamInterface<TwoHandlesRow> {};

// Both are shared for reading and writing, and each write lands at the end of
// the file, wherever the other handle left it.
TEST_P(TwoHandles, BothAppendAtTheEnd) {
  const TwoHandlesRow& row = GetParam();
  const std::u16string path = Path(u"Shared.log");
  const auto first = files.Create(path);
  ASSERT_NE(first, nullptr);
  const auto second = row.secondCreates ? files.Create(path) : files.OpenExisting(path);
  ASSERT_NE(second, nullptr);
  for (const auto& [handle, bytes] : row.appends) {
    EXPECT_TRUE(Append(handle == 1 ? *first : *second, bytes));
  }
  EXPECT_EQ(Read(path), row.after);
}

INSTANTIATE_TEST_SUITE_P(, TwoHandles,
                         testing::ValuesIn(std::vector<TwoHandlesRow>{
                             {.what = "created twice",
                              .secondCreates = true,
                              .appends = {{1, "a"}, {2, "bb"}, {1, "c"}},
                              .after = "abbc"},
                             {.what = "created, then opened",
                              .secondCreates = false,
                              .appends = {{1, "a"}, {2, "bb"}, {1, "c"}},
                              .after = "abbc"},
                             {.what = "the second writes first",
                              .secondCreates = false,
                              .appends = {{2, "x"}, {1, "yy"}, {2, "z"}},
                              .after = "xyyz"},
                         }),
                         test::RowName);

// --- names of files and folders --------------------------------------------------

struct NameRow {
  const char* what;
  const char16_t* path;  // after the scratch folder, which holds Logs (PutLogs)
  Named found;
  bool longPathPrefix = false;  // the whole path given as \\?\<path>
};

class FileNames : public FileContract, public testing::WithParamInterface<NameRow> {};

TEST_P(FileNames, AreReadAsWindowsReadsThem) {
  const NameRow& row = GetParam();
  PutLogs();
  const std::u16string path = (row.longPathPrefix ? u"\\\\?\\" : u"") + folder + row.path;
  const bool file = row.found == Named::kFile || row.found == Named::kReadOnlyFile;
  EXPECT_EQ(files.Exists(path), row.found != Named::kNothing);
  EXPECT_EQ(files.IsFile(path), file);
  EXPECT_EQ(files.IsFolder(path), row.found == Named::kFolder);
  EXPECT_EQ(files.IsReadOnly(path), row.found == Named::kReadOnlyFile);
}

INSTANTIATE_TEST_SUITE_P(
    , FileNames,
    testing::ValuesIn(std::vector<NameRow>{
        {.what = "a folder", .path = u"\\Logs", .found = Named::kFolder},
        {.what = "a folder with a trailing separator",
         .path = u"\\Logs\\",
         .found = Named::kFolder},
        {.what = "a folder with two trailing separators",
         .path = u"\\Logs\\\\",
         .found = Named::kFolder},
        {.what = "a folder with slashes", .path = u"/Logs/", .found = Named::kFolder},
        {.what = "a folder in another case", .path = u"\\LOGS", .found = Named::kFolder},
        {.what = "a file", .path = u"\\Logs\\Run.log", .found = Named::kFile},
        {.what = "a file with slashes", .path = u"/Logs/Run.log", .found = Named::kFile},
        {.what = "a file with a doubled separator",
         .path = u"\\Logs\\\\Run.log",
         .found = Named::kFile},
        {.what = "a file in another case", .path = u"\\logs\\RUN.LOG", .found = Named::kFile},
        {.what = "a file with a trailing separator",
         .path = u"\\Logs\\Run.log\\",
         .found = Named::kNothing},
        {.what = "a file's name cut short", .path = u"\\Logs\\Run", .found = Named::kNothing},
        {.what = "a read-only file", .path = u"\\Logs\\Locked.log", .found = Named::kReadOnlyFile},
        {.what = "a read-only file in another case",
         .path = u"\\LOGS\\locked.LOG",
         .found = Named::kReadOnlyFile},
        {.what = "a folder with the long-path prefix",
         .path = u"\\Logs",
         .found = Named::kFolder,
         .longPathPrefix = true},
        {.what = "a file with the long-path prefix",
         .path = u"\\Logs\\Run.log",
         .found = Named::kFile,
         .longPathPrefix = true},
    }),
    test::RowName);

// --- reading a long file ----------------------------------------------------------

// Bytes that differ from one MiB to the next, so that a part read twice or
// from the wrong place shows.
std::string Counted(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 1048576) % 251);
  return bytes;
}

constexpr std::size_t kMiB = 1024 * 1024;

struct LongReadRow {
  const char* what;
  std::size_t size;     // of the file
  std::size_t limit;    // what is asked for
  bool tail;            // ReadTail, else ReadAt from the start
  bool copied = false;  // written by WriteNewFile
};

class LongReads : public FileContract, public testing::WithParamInterface<LongReadRow> {};

// A read or a write is whole however many calls it takes: a run log of a few
// MiB reaches the support bundle entire, and its copy there too.
TEST_P(LongReads, GiveEveryByteAskedFor) {
  const LongReadRow& row = GetParam();
  const std::string bytes = Counted(row.size);
  if (row.copied) {
    ASSERT_EQ(files.WriteNewFile(Path(u"long.log"), bytes), 0);
  } else {
    machine->PutFile(u"long.log", bytes, false);
  }
  const std::size_t wanted = std::min(row.size, row.limit);
  if (row.tail) {
    const std::optional<FileSystem::Tail> read = files.ReadTail(Path(u"long.log"), row.limit);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->size, row.size);
    EXPECT_TRUE(read->bytes == bytes.substr(row.size - wanted)) << read->bytes.size() << " bytes";
  } else {
    const std::optional<std::string> read = files.ReadAt(Path(u"long.log"), 0, row.limit);
    ASSERT_TRUE(read.has_value());
    EXPECT_TRUE(*read == bytes.substr(0, wanted)) << read->size() << " bytes";
  }
}

INSTANTIATE_TEST_SUITE_P(
    , LongReads,
    testing::ValuesIn(std::vector<LongReadRow>{
        {.what = "a whole file of 3 MiB and 5 bytes",
         .size = 3 * kMiB + 5,
         .limit = 16 * kMiB,
         .tail = true},
        {.what = "the last MiB and a byte", .size = 3 * kMiB + 5, .limit = kMiB + 1, .tail = true},
        {.what = "the first 2 MiB and 3 bytes",
         .size = 3 * kMiB + 5,
         .limit = 2 * kMiB + 3,
         .tail = false},
        {.what = "a head longer than the file", .size = kMiB + 9, .limit = 4 * kMiB, .tail = false},
        {.what = "a copy of 3 MiB and 5 bytes",
         .size = 3 * kMiB + 5,
         .limit = 16 * kMiB,
         .tail = true,
         .copied = true},
    }),
    test::RowName);

// --- the end of a file ----------------------------------------------------------

struct TailRow {
  const char* what;
  std::size_t limit;
  std::string tail;
};

class FileTails : public FileContract, public testing::WithParamInterface<TailRow> {};

// What a missing file gives is in the FileChanges rows.
TEST_P(FileTails, AreTheEndOfTheFileAndItsWholeSize) {
  const TailRow& row = GetParam();
  machine->PutFile(u"tail.log", "0123456789", false);
  const std::optional<FileSystem::Tail> tail = files.ReadTail(Path(u"tail.log"), row.limit);
  ASSERT_TRUE(tail.has_value());
  EXPECT_EQ(tail->bytes, row.tail);
  EXPECT_EQ(tail->size, 10u);
}

INSTANTIATE_TEST_SUITE_P(
    , FileTails,
    testing::ValuesIn(std::vector<TailRow>{
        {.what = "the last bytes", .limit = 4, .tail = "6789"},
        {.what = "exactly the whole file", .limit = 10, .tail = "0123456789"},
        {.what = "more than the file", .limit = 64 * 1024, .tail = "0123456789"},
        {.what = "nothing asked for", .limit = 0, .tail = ""},
    }),
    test::RowName);

// --- what a path names ----------------------------------------------------------

struct LookRow {
  const char* what;
  std::function<void(ContractMachine&)> make;  // puts "b" (or nothing) in the scratch folder
  PathKind kind;
  const char16_t* name = u"b";
};

class PathKinds : public FileContract, public testing::WithParamInterface<LookRow> {};

TEST_P(PathKinds, NameWhatIsThere) {
  const LookRow& row = GetParam();
  row.make(*machine);
  EXPECT_EQ(files.Look(Path(row.name)), row.kind);
}

INSTANTIATE_TEST_SUITE_P(
    , PathKinds,
    testing::ValuesIn(std::vector<LookRow>{
        {.what = "nothing", .make = [](ContractMachine&) {}, .kind = PathKind::kMissing},
        {.what = "nothing, nor a folder above",
         .make = [](ContractMachine&) {},
         .kind = PathKind::kMissing,
         .name = u"gone\\b"},
        {.what = "a file",
         .make = [](ContractMachine& m) { m.PutFile(u"b", "", false); },
         .kind = PathKind::kFile},
        {.what = "an empty folder",
         .make = [](ContractMachine& m) { m.PutFolder(u"b"); },
         .kind = PathKind::kEmptyFolder},
        {.what = "an empty folder with a trailing separator",
         .make = [](ContractMachine& m) { m.PutFolder(u"b"); },
         .kind = PathKind::kEmptyFolder,
         .name = u"b\\"},
        {.what = "a folder with an empty file",
         .make =
             [](ContractMachine& m) {
               m.PutFolder(u"b");
               m.PutFile(u"b\\x", "", false);
             },
         .kind = PathKind::kFolderWithEntries},
        {.what = "a folder with a folder",
         .make =
             [](ContractMachine& m) {
               m.PutFolder(u"b");
               m.PutFolder(u"b\\sub");
             },
         .kind = PathKind::kFolderWithEntries},
    }),
    test::RowName);

// --- a part of a file -----------------------------------------------------------

struct PartRow {
  const char* what;
  const char16_t* name;  // in the scratch folder, which holds part.bin ("0123456789")
  std::uint64_t offset;
  std::size_t limit;
  std::optional<std::string> part;
};

class FileParts : public FileContract, public testing::WithParamInterface<PartRow> {};

TEST_P(FileParts, AreAsMuchOfTheFileFromTheOffsetAsThereIs) {
  const PartRow& row = GetParam();
  machine->PutFile(u"part.bin", "0123456789", false);
  EXPECT_EQ(files.ReadAt(Path(row.name), row.offset, row.limit), row.part);
}

INSTANTIATE_TEST_SUITE_P(
    , FileParts,
    testing::ValuesIn(std::vector<PartRow>{
        {.what = "the start", .name = u"part.bin", .offset = 0, .limit = 4, .part = "0123"},
        {.what = "up to the end", .name = u"part.bin", .offset = 6, .limit = 64, .part = "6789"},
        {.what = "the last byte", .name = u"part.bin", .offset = 9, .limit = 1, .part = "9"},
        {.what = "at the end", .name = u"part.bin", .offset = 10, .limit = 4, .part = ""},
        {.what = "beyond 4 GiB",
         .name = u"part.bin",
         .offset = 0x100000000,
         .limit = 4,
         .part = ""},
        {.what = "nothing asked for", .name = u"part.bin", .offset = 3, .limit = 0, .part = ""},
        {.what = "no such file",
         .name = u"none.bin",
         .offset = 0,
         .limit = 4,
         .part = std::nullopt},
    }),
    test::RowName);

// --- a listing ------------------------------------------------------------------

struct ListRow {
  const char* what;
  const char16_t* folder;  // after the scratch folder, which holds Logs (PutLogs)
  const char16_t* pattern;
  std::vector<std::string> listed;  // "name size" for a file, "name\" for a folder, sorted
};

class FolderListings : public FileContract, public testing::WithParamInterface<ListRow> {};

TEST_P(FolderListings, HoldTheMatchingEntriesWithTheirSizes) {
  const ListRow& row = GetParam();
  PutLogs();
  std::vector<std::string> listed;
  for (const FileSystem::Entry& entry : files.ListFolder(folder + row.folder, row.pattern)) {
    const std::string name(entry.name.begin(), entry.name.end());
    listed.push_back(entry.isFolder ? name + "\\" : name + " " + std::to_string(entry.size));
    EXPECT_FALSE(entry.isLink) << name;
  }
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(listed, row.listed);
}

INSTANTIATE_TEST_SUITE_P(
    , FolderListings,
    testing::ValuesIn(std::vector<ListRow>{
        {.what = "the logs, not the text file",
         .folder = u"\\Logs",
         .pattern = u"LSScheduler_*.log",
         .listed = {"LSScheduler_1.log 3", "LSScheduler_2.log 0"}},
        {.what = "by their extension, the folder too",
         .folder = u"\\Logs",
         .pattern = u"*.log",
         .listed = {"LSScheduler_1.log 3", "LSScheduler_2.log 0", "Locked.log 1", "Old.log\\",
                    "Run.log 1"}},
        {.what = "by another extension",
         .folder = u"\\Logs",
         .pattern = u"*.txt",
         .listed = {"notes.txt 5"}},
        {.what = "everything, not what is inside the folder",
         .folder = u"\\Logs",
         .pattern = u"*",
         .listed = {"LSScheduler_1.log 3", "LSScheduler_2.log 0", "Locked.log 1", "Old.log\\",
                    "Run.log 1", "notes.txt 5"}},
        {.what = "one character open",
         .folder = u"\\Logs",
         .pattern = u"LSScheduler_?.log",
         .listed = {"LSScheduler_1.log 3", "LSScheduler_2.log 0"}},
        {.what = "a pattern in another case",
         .folder = u"\\Logs",
         .pattern = u"lsscheduler_1.LOG",
         .listed = {"LSScheduler_1.log 3"}},
        {.what = "a folder with a trailing separator",
         .folder = u"\\Logs\\",
         .pattern = u"*.txt",
         .listed = {"notes.txt 5"}},
        {.what = "inside the folder",
         .folder = u"\\Logs\\Old.log",
         .pattern = u"*",
         .listed = {"Inner.log 1"}},
        {.what = "no match", .folder = u"\\Logs", .pattern = u"*.csv", .listed = {}},
        {.what = "a missing folder", .folder = u"\\Gone", .pattern = u"*", .listed = {}},
    }),
    test::RowName);

// --- making folders -------------------------------------------------------------

struct FolderRow {
  const char* what;
  bool withParents;      // CreateFolders, else CreateFolder
  const char16_t* name;  // in the scratch folder, which holds the file "file" and the folder "old"
  Status status;
  std::vector<std::u16string> foldersAfter = {};  // that exist afterwards
  std::vector<std::u16string> missingAfter = {};  // that still do not
};

class FolderCreation : public FileContract, public testing::WithParamInterface<FolderRow> {};

// One level as the run log makes its folder; every missing level as the
// support bundle makes its own. Neither ever replaces a file.
TEST_P(FolderCreation, MakesWhatIsMissingAndNothingElse) {
  const FolderRow& row = GetParam();
  machine->PutFile(u"file", "x", false);
  machine->PutFolder(u"old");
  const std::u16string path = Path(row.name);
  EXPECT_EQ(row.withParents ? files.CreateFolders(path) : files.CreateFolder(path), row.status);
  for (const std::u16string& name : row.foldersAfter) {
    EXPECT_EQ(files.Look(Path(name)), PathKind::kEmptyFolder) << test::Narrow(name);
  }
  for (const std::u16string& name : row.missingAfter) {
    EXPECT_FALSE(files.Exists(Path(name))) << test::Narrow(name);
  }
  EXPECT_EQ(Read(Path(u"file")), "x");
}

INSTANTIATE_TEST_SUITE_P(
    , FolderCreation,
    testing::ValuesIn(std::vector<FolderRow>{
        {.what = "one new folder",
         .withParents = false,
         .name = u"new",
         .status = 0,
         .foldersAfter = {u"new"}},
        {.what = "one folder that exists",
         .withParents = false,
         .name = u"old",
         .status = 183,
         .foldersAfter = {u"old"}},
        {.what = "one folder where a file has the name",
         .withParents = false,
         .name = u"file",
         .status = 183},
        {.what = "one folder in a missing folder",
         .withParents = false,
         .name = u"missing\\new",
         .status = 3,
         .missingAfter = {u"missing"}},
        {.what = "one folder below a file",
         .withParents = false,
         .name = u"file\\new",
         .status = 3},
        {.what = "every missing level",
         .withParents = true,
         .name = u"a\\b\\c",
         .status = 0,
         .foldersAfter = {u"a\\b\\c"}},
        {.what = "every missing level below one that exists",
         .withParents = true,
         .name = u"old\\b\\c",
         .status = 0,
         .foldersAfter = {u"old\\b\\c"}},
        {.what = "levels that exist, with a trailing separator",
         .withParents = true,
         .name = u"old\\",
         .status = 0,
         .foldersAfter = {u"old"}},
        {.what = "levels where a file has the name",
         .withParents = true,
         .name = u"file",
         .status = 183},
        {.what = "levels below a file", .withParents = true, .name = u"file\\b\\c", .status = 3},
    }),
    test::RowName);

// --- writing new files ------------------------------------------------------------

struct NewFileRow {
  const char* what;
  const char16_t* name;  // in the scratch folder, which holds "taken" ("abc") and the folder "sub"
  std::string bytes;
  Status status;
  std::optional<std::string> after;  // the file's bytes afterwards; nothing: no file
};

class NewFiles : public FileContract, public testing::WithParamInterface<NewFileRow> {};

TEST_P(NewFiles, AreWrittenWholeAndReplaceNothing) {
  const NewFileRow& row = GetParam();
  machine->PutFile(u"taken", "abc", false);
  machine->PutFolder(u"sub");
  EXPECT_EQ(files.WriteNewFile(Path(row.name), row.bytes), row.status);
  EXPECT_EQ(Read(Path(row.name)), row.after);
}

INSTANTIATE_TEST_SUITE_P(
    , NewFiles,
    testing::ValuesIn(std::vector<NewFileRow>{
        {.what = "bytes of every kind",
         .name = u"sub\\f.bin",
         .bytes = std::string("\xFF\xFE\0x\r\n", 6),
         .status = 0,
         .after = std::string("\xFF\xFE\0x\r\n", 6)},
        {.what = "no bytes", .name = u"empty", .bytes = "", .status = 0, .after = ""},
        {.what = "a name that is taken",
         .name = u"taken",
         .bytes = "other",
         .status = 80,
         .after = "abc"},
        {.what = "a name taken in another case",
         .name = u"TAKEN",
         .bytes = "other",
         .status = 80,
         .after = "abc"},
        {.what = "in a missing folder",
         .name = u"missing\\f",
         .bytes = "x",
         .status = 3,
         .after = std::nullopt},
    }),
    test::RowName);

TEST_F(FileContract, ANewFileInAMissingFolderMakesNoFolder) {
  EXPECT_EQ(files.WriteNewFile(Path(u"missing\\f"), "x"), 3);
  EXPECT_EQ(files.Look(Path(u"missing")), PathKind::kMissing);
}

}  // namespace
}  // namespace lss::contract
