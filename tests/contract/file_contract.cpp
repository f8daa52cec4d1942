// What the file system does: how files open and whether they keep their
// bytes, appends from two handles, how names of files and folders are read,
// the end of a file, what a path names, a part of a file, a listing, and
// replacing and deleting files.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

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
    const std::optional<CheckQueries::Tail> tail = queries.ReadTail(path, 64);
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
  CheckQueries& queries = machine->queries();
  std::u16string folder = machine->Folder();
};

// --- opening for appending, replacing and deleting -------------------------------

enum class Call { kCreate, kOpenExisting, kCreateEmptyFile, kRemoveFile };
// What has a name.
enum class Named { kNothing, kFile, kEmptyFile, kReadOnlyFile, kFolder };

// What Create and OpenExisting answer when they give no file.
constexpr auto kNotOpened = static_cast<Status>(0xFFFFFFFFu);

struct ChangeCase {
  const char* what;
  Call call;
  const char16_t* name;
  Named before;                      // what had the name; a file (read-only or not) held "abc"
  Status status;                     // Create and OpenExisting: 0 when a file opened
  std::optional<std::string> after;  // after appending "+" to what opened; nothing: no file
  const char* wineDiffers = nullptr;
};

class Changes : public FileContract, public testing::WithParamInterface<ChangeCase> {};

// Opening for appending never truncates; the check tool's probe file is made
// empty and deleted with Win32's error codes.
TEST_P(Changes, KeepOrReplaceTheBytesAsWin32Does) {
  const ChangeCase& c = GetParam();
  if (c.wineDiffers != nullptr && OnWine()) GTEST_SKIP() << c.wineDiffers;
  switch (c.before) {
    case Named::kNothing: break;
    case Named::kFile: machine->PutFile(c.name, "abc", false); break;
    case Named::kEmptyFile: machine->PutFile(c.name, "", false); break;
    case Named::kReadOnlyFile: machine->PutFile(c.name, "abc", true); break;
    case Named::kFolder: machine->PutFolder(c.name); break;
  }
  const std::u16string path = Path(c.name);
  Status status = kNotOpened;
  if (c.call == Call::kCreate || c.call == Call::kOpenExisting) {
    const auto file = c.call == Call::kCreate ? files.Create(path) : files.OpenExisting(path);
    if (file) {
      status = 0;
      EXPECT_TRUE(file->SeekToEnd()) << c.what;
      EXPECT_TRUE(Append(*file, "+")) << c.what;
    }
  } else {
    status = c.call == Call::kRemoveFile ? queries.RemoveFile(path) : queries.CreateEmptyFile(path);
  }
  EXPECT_EQ(status, c.status) << c.what;
  EXPECT_EQ(Read(path), c.after) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Changes,
    testing::Values(
        ChangeCase{"create a new file", Call::kCreate, u"S.log", Named::kNothing, 0, "+"},
        ChangeCase{"create over an existing file", Call::kCreate, u"S.log", Named::kFile, 0,
                   "abc+"},
        ChangeCase{"create over an empty file", Call::kCreate, u"S.log", Named::kEmptyFile, 0, "+"},
        ChangeCase{"open an existing file", Call::kOpenExisting, u"S.log", Named::kFile, 0, "abc+"},
        ChangeCase{"open a missing file", Call::kOpenExisting, u"S.log", Named::kNothing,
                   kNotOpened, std::nullopt},
        ChangeCase{"create over a read-only file", Call::kCreate, u"S.log", Named::kReadOnlyFile,
                   kNotOpened, "abc", kRootWritesReadOnlyFiles},
        ChangeCase{"open a read-only file", Call::kOpenExisting, u"S.log", Named::kReadOnlyFile,
                   kNotOpened, "abc", kRootWritesReadOnlyFiles},
        ChangeCase{"create in a missing folder", Call::kCreate, u"Gone\\S.log", Named::kNothing,
                   kNotOpened, std::nullopt},
        ChangeCase{"create where a folder has the name", Call::kCreate, u"S.log", Named::kFolder,
                   kNotOpened, std::nullopt},
        ChangeCase{"open a folder", Call::kOpenExisting, u"S.log", Named::kFolder, kNotOpened,
                   std::nullopt},
        ChangeCase{"delete a file", Call::kRemoveFile, u"a.log", Named::kFile, 0, std::nullopt},
        ChangeCase{"delete a read-only file", Call::kRemoveFile, u"a.log", Named::kReadOnlyFile, 5,
                   "abc"},
        ChangeCase{"delete a missing file", Call::kRemoveFile, u"a.log", Named::kNothing, 2,
                   std::nullopt},
        ChangeCase{"delete in a missing folder", Call::kRemoveFile, u"Gone\\a.log", Named::kNothing,
                   3, std::nullopt},
        ChangeCase{"delete a folder", Call::kRemoveFile, u"Sub", Named::kFolder, 5, std::nullopt},
        ChangeCase{"empty a new file", Call::kCreateEmptyFile, u"b.log", Named::kNothing, 0, ""},
        ChangeCase{"empty a file", Call::kCreateEmptyFile, u"a.log", Named::kFile, 0, ""},
        ChangeCase{"empty a read-only file", Call::kCreateEmptyFile, u"a.log", Named::kReadOnlyFile,
                   5, "abc", kRootWritesReadOnlyFiles},
        ChangeCase{"empty a file in a missing folder", Call::kCreateEmptyFile, u"Gone\\b.log",
                   Named::kNothing, 3, std::nullopt},
        ChangeCase{"empty where a folder has the name", Call::kCreateEmptyFile, u"Sub",
                   Named::kFolder, 5, std::nullopt}));

// --- two handles at once --------------------------------------------------------

struct TwoHandlesCase {
  const char* what;
  bool secondCreates;  // the second handle by Create, or by OpenExisting
  std::vector<std::pair<int, std::string>> appends;  // by handle 1 or 2, in order
  std::string after;
};

class TwoHandles : public FileContract, public testing::WithParamInterface<TwoHandlesCase> {};

// Both are shared for reading and writing, and each write lands at the end of
// the file, wherever the other handle left it.
TEST_P(TwoHandles, BothAppendAtTheEnd) {
  const TwoHandlesCase& c = GetParam();
  const std::u16string path = Path(u"Shared.log");
  const auto first = files.Create(path);
  ASSERT_NE(first, nullptr) << c.what;
  const auto second = c.secondCreates ? files.Create(path) : files.OpenExisting(path);
  ASSERT_NE(second, nullptr) << c.what;
  for (const auto& [handle, bytes] : c.appends) {
    EXPECT_TRUE(Append(handle == 1 ? *first : *second, bytes)) << c.what;
  }
  EXPECT_EQ(Read(path), c.after) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, TwoHandles,
    testing::Values(
        TwoHandlesCase{"created twice", true, {{1, "a"}, {2, "bb"}, {1, "c"}}, "abbc"},
        TwoHandlesCase{"created, then opened", false, {{1, "a"}, {2, "bb"}, {1, "c"}}, "abbc"},
        TwoHandlesCase{"the second writes first", false, {{2, "x"}, {1, "yy"}, {2, "z"}}, "xyyz"}));

// --- names of files and folders --------------------------------------------------

struct NameCase {
  const char* what;
  const char16_t* path;  // after the scratch folder, which holds Logs (PutLogs)
  Named found;
  bool longPathPrefix = false;  // the whole path given as \\?\<path>
};

class Names : public FileContract, public testing::WithParamInterface<NameCase> {};

TEST_P(Names, AreReadAsWindowsReadsThem) {
  const NameCase& c = GetParam();
  PutLogs();
  const std::u16string path = (c.longPathPrefix ? u"\\\\?\\" : u"") + folder + c.path;
  const bool file = c.found == Named::kFile || c.found == Named::kReadOnlyFile;
  EXPECT_EQ(files.Exists(path), c.found != Named::kNothing) << c.what;
  EXPECT_EQ(queries.IsFile(path), file) << c.what;
  EXPECT_EQ(queries.IsFolder(path), c.found == Named::kFolder) << c.what;
  EXPECT_EQ(files.IsReadOnly(path), c.found == Named::kReadOnlyFile) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Names,
    testing::Values(
        NameCase{"a folder", u"\\Logs", Named::kFolder},
        NameCase{"a folder with a trailing separator", u"\\Logs\\", Named::kFolder},
        NameCase{"a folder with two trailing separators", u"\\Logs\\\\", Named::kFolder},
        NameCase{"a folder with slashes", u"/Logs/", Named::kFolder},
        NameCase{"a folder in another case", u"\\LOGS", Named::kFolder},
        NameCase{"a file", u"\\Logs\\Run.log", Named::kFile},
        NameCase{"a file with slashes", u"/Logs/Run.log", Named::kFile},
        NameCase{"a file with a doubled separator", u"\\Logs\\\\Run.log", Named::kFile},
        NameCase{"a file in another case", u"\\logs\\RUN.LOG", Named::kFile},
        NameCase{"a file with a trailing separator", u"\\Logs\\Run.log\\", Named::kNothing},
        NameCase{"a file's name cut short", u"\\Logs\\Run", Named::kNothing},
        NameCase{"a read-only file", u"\\Logs\\Locked.log", Named::kReadOnlyFile},
        NameCase{"a read-only file in another case", u"\\LOGS\\locked.LOG", Named::kReadOnlyFile},
        NameCase{"a folder with the long-path prefix", u"\\Logs", Named::kFolder, true},
        NameCase{"a file with the long-path prefix", u"\\Logs\\Run.log", Named::kFile, true}));

// --- reading a long file ----------------------------------------------------------

// Bytes that differ from one MiB to the next, so that a part read twice or
// from the wrong place shows.
std::string Counted(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 1048576) % 251);
  return bytes;
}

constexpr std::size_t kMiB = 1024 * 1024;

struct LongReadCase {
  const char* what;
  std::size_t size;     // of the file
  std::size_t limit;    // what is asked for
  bool tail;            // ReadTail, else ReadAt from the start
  bool copied = false;  // written by the support bundle's WriteNewFile
};

class LongReads : public FileContract, public testing::WithParamInterface<LongReadCase> {};

// A read or a write is whole however many calls it takes: a run log of a few
// MiB reaches the support bundle entire, and its copy there too.
TEST_P(LongReads, GiveEveryByteAskedFor) {
  const LongReadCase& c = GetParam();
  const std::string bytes = Counted(c.size);
  if (c.copied) {
    ASSERT_EQ(machine->collect().WriteNewFile(Path(u"long.log"), bytes), 0u);
  } else {
    machine->PutFile(u"long.log", bytes, false);
  }
  const std::size_t wanted = std::min(c.size, c.limit);
  if (c.tail) {
    const std::optional<CheckQueries::Tail> read = queries.ReadTail(Path(u"long.log"), c.limit);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->size, c.size);
    EXPECT_TRUE(read->bytes == bytes.substr(c.size - wanted)) << read->bytes.size() << " bytes";
  } else {
    const std::optional<std::string> read = queries.ReadAt(Path(u"long.log"), 0, c.limit);
    ASSERT_TRUE(read.has_value());
    EXPECT_TRUE(*read == bytes.substr(0, wanted)) << read->size() << " bytes";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, LongReads,
    testing::Values(
        LongReadCase{"a whole file of 3 MiB and 5 bytes", 3 * kMiB + 5, 16 * kMiB, true},
        LongReadCase{"the last MiB and a byte", 3 * kMiB + 5, kMiB + 1, true},
        LongReadCase{"the first 2 MiB and 3 bytes", 3 * kMiB + 5, 2 * kMiB + 3, false},
        LongReadCase{"a head longer than the file", kMiB + 9, 4 * kMiB, false},
        LongReadCase{"a copy of 3 MiB and 5 bytes", 3 * kMiB + 5, 16 * kMiB, true, true}));

// --- the end of a file ----------------------------------------------------------

struct TailCase {
  const char* what;
  std::size_t limit;
  std::string tail;
};

class Tail : public FileContract, public testing::WithParamInterface<TailCase> {};

// What a missing file gives is in the Changes rows.
TEST_P(Tail, IsTheEndOfTheFileAndItsWholeSize) {
  const TailCase& c = GetParam();
  machine->PutFile(u"tail.log", "0123456789", false);
  const std::optional<CheckQueries::Tail> tail = queries.ReadTail(Path(u"tail.log"), c.limit);
  ASSERT_TRUE(tail.has_value()) << c.what;
  EXPECT_EQ(tail->bytes, c.tail) << c.what;
  EXPECT_EQ(tail->size, 10u) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Table, Tail,
                         testing::Values(TailCase{"the last bytes", 4, "6789"},
                                         TailCase{"exactly the whole file", 10, "0123456789"},
                                         TailCase{"more than the file", 64 * 1024, "0123456789"},
                                         TailCase{"nothing asked for", 0, ""}));

// --- what a path names ----------------------------------------------------------

struct LookCase {
  const char* what;
  std::function<void(ContractMachine&)> make;  // puts "b" (or nothing) in the scratch folder
  PathKind kind;
};

class Look : public FileContract, public testing::WithParamInterface<LookCase> {};

TEST_P(Look, NamesWhatIsThere) {
  const LookCase& c = GetParam();
  c.make(*machine);
  EXPECT_EQ(machine->collect().Look(Path(u"b")), c.kind) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Look,
    testing::Values(LookCase{"nothing", [](ContractMachine&) {}, PathKind::kMissing},
                    LookCase{"a file", [](ContractMachine& m) { m.PutFile(u"b", "", false); },
                             PathKind::kFile},
                    LookCase{"an empty folder", [](ContractMachine& m) { m.PutFolder(u"b"); },
                             PathKind::kEmptyFolder},
                    LookCase{"a folder with an empty file",
                             [](ContractMachine& m) {
                               m.PutFolder(u"b");
                               m.PutFile(u"b\\x", "", false);
                             },
                             PathKind::kFolderWithEntries},
                    LookCase{"a folder with a folder",
                             [](ContractMachine& m) {
                               m.PutFolder(u"b");
                               m.PutFolder(u"b\\sub");
                             },
                             PathKind::kFolderWithEntries}));

// --- a part of a file -----------------------------------------------------------

struct PartCase {
  const char* what;
  const char16_t* name;  // in the scratch folder, which holds part.bin ("0123456789")
  std::uint64_t offset;
  std::size_t limit;
  std::optional<std::string> part;
};

class Parts : public FileContract, public testing::WithParamInterface<PartCase> {};

TEST_P(Parts, AreAsMuchOfTheFileFromTheOffsetAsThereIs) {
  const PartCase& c = GetParam();
  machine->PutFile(u"part.bin", "0123456789", false);
  EXPECT_EQ(queries.ReadAt(Path(c.name), c.offset, c.limit), c.part) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Table, Parts,
                         testing::Values(PartCase{"the start", u"part.bin", 0, 4, "0123"},
                                         PartCase{"up to the end", u"part.bin", 6, 64, "6789"},
                                         PartCase{"the last byte", u"part.bin", 9, 1, "9"},
                                         PartCase{"at the end", u"part.bin", 10, 4, ""},
                                         PartCase{"beyond 4 GiB", u"part.bin", 0x100000000, 4, ""},
                                         PartCase{"nothing asked for", u"part.bin", 3, 0, ""},
                                         PartCase{"no such file", u"none.bin", 0, 4,
                                                  std::nullopt}));

// --- a listing ------------------------------------------------------------------

struct ListCase {
  const char* what;
  const char16_t* folder;  // after the scratch folder, which holds Logs (PutLogs)
  const char16_t* pattern;
  std::vector<std::string> listed;  // "name size", sorted
};

class Listing : public FileContract, public testing::WithParamInterface<ListCase> {};

TEST_P(Listing, HoldsTheMatchingFilesWithTheirSizes) {
  const ListCase& c = GetParam();
  PutLogs();
  std::vector<std::string> listed;
  for (const CheckQueries::Listed& file : queries.ListFiles(folder + c.folder, c.pattern)) {
    std::string name(file.name.begin(), file.name.end());
    listed.push_back(name + " " + std::to_string(file.size));
  }
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(listed, c.listed) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Listing,
    testing::Values(
        ListCase{"the logs, not the text file nor the folder",
                 u"\\Logs",
                 u"LSScheduler_*.log",
                 {"LSScheduler_1.log 3", "LSScheduler_2.log 0"}},
        ListCase{"by their extension", u"\\Logs", u"*.txt", {"notes.txt 5"}},
        ListCase{"everything but the folder",
                 u"\\Logs",
                 u"*",
                 {"LSScheduler_1.log 3", "LSScheduler_2.log 0", "Locked.log 1", "Run.log 1",
                  "notes.txt 5"}},
        ListCase{"one character open",
                 u"\\Logs",
                 u"LSScheduler_?.log",
                 {"LSScheduler_1.log 3", "LSScheduler_2.log 0"}},
        ListCase{
            "a pattern in another case", u"\\Logs", u"lsscheduler_1.LOG", {"LSScheduler_1.log 3"}},
        ListCase{"a folder with a trailing separator", u"\\Logs\\", u"*.txt", {"notes.txt 5"}},
        ListCase{"no match", u"\\Logs", u"*.csv", {}},
        ListCase{"a missing folder", u"\\Gone", u"*", {}}));

}  // namespace
}  // namespace lss::contract
