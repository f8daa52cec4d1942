// What the file system does: how files open and whether they keep their
// bytes, appends from two handles, how names of files and folders are read,
// a listing, and replacing and deleting files.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "contract/contract_machine.h"

namespace lss::contract {
namespace {

constexpr auto RowIndex = [](const auto& row) { return std::to_string(row.index); };

bool Append(File& file, std::string_view bytes) {
  return file.Append(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

class FileContract : public testing::Test {
 protected:
  std::u16string Path(std::u16string_view name) { return folder + u"\\" + std::u16string(name); }

  std::unique_ptr<ContractMachine> machine = MakeContractMachine();
  FileSystem& files = machine->files();
  CheckQueries& queries = machine->queries();
  std::u16string folder = machine->Folder();
};

// --- opening for appending ----------------------------------------------------

enum class Before { kNothing, kFile, kReadOnlyFile, kFolder };

struct OpenCase {
  const char* what;
  bool create;  // Create, or OpenExisting
  const char16_t* name;
  Before before;
  std::string bytes;  // of the file there before
  bool opens;
  std::optional<std::string> after;  // after appending "+"; nothing: no file
  const char* wineDiffers = nullptr;
};
void PrintTo(const OpenCase& c, std::ostream* out) { *out << c.what; }

class OpenForAppend : public FileContract, public testing::WithParamInterface<OpenCase> {};

TEST_P(OpenForAppend, NeverTruncates) {
  const OpenCase& c = GetParam();
  if (c.wineDiffers != nullptr && OnWine()) GTEST_SKIP() << c.wineDiffers;
  const std::u16string path = Path(c.name);
  if (c.before == Before::kFile) {
    const auto earlier = files.Create(path);
    ASSERT_NE(earlier, nullptr) << c.what;
    ASSERT_TRUE(Append(*earlier, c.bytes)) << c.what;
  }
  if (c.before == Before::kReadOnlyFile) machine->PutFile(c.name, c.bytes, true);
  if (c.before == Before::kFolder) machine->PutFolder(c.name);

  auto file = c.create ? files.Create(path) : files.OpenExisting(path);
  ASSERT_EQ(file != nullptr, c.opens) << c.what;
  if (file) {
    EXPECT_TRUE(file->SeekToEnd()) << c.what;
    EXPECT_TRUE(Append(*file, "+")) << c.what;
    file.reset();
  }
  EXPECT_EQ(machine->Contents(path), c.after) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, OpenForAppend,
    testing::Values(
        OpenCase{"create a new file", true, u"S.log", Before::kNothing, "", true, "+"},
        OpenCase{"create over an existing file", true, u"S.log", Before::kFile, "abc", true,
                 "abc+"},
        OpenCase{"create over an empty file", true, u"S.log", Before::kFile, "", true, "+"},
        OpenCase{"open an existing file", false, u"S.log", Before::kFile, "abc", true, "abc+"},
        OpenCase{"open a missing file", false, u"S.log", Before::kNothing, "", false, std::nullopt},
        OpenCase{"create over a read-only file", true, u"S.log", Before::kReadOnlyFile, "abc",
                 false, "abc", kRootWritesReadOnlyFiles},
        OpenCase{"open a read-only file", false, u"S.log", Before::kReadOnlyFile, "abc", false,
                 "abc", kRootWritesReadOnlyFiles},
        OpenCase{"create in a missing folder", true, u"Gone\\S.log", Before::kNothing, "", false,
                 std::nullopt},
        OpenCase{"create where a folder has the name", true, u"S.log", Before::kFolder, "", false,
                 std::nullopt},
        OpenCase{"open a folder", false, u"S.log", Before::kFolder, "", false, std::nullopt}),
    RowIndex);

// --- two handles at once --------------------------------------------------------

struct TwoHandlesCase {
  const char* what;
  bool secondCreates;  // the second handle by Create, or by OpenExisting
  std::vector<std::pair<int, std::string>> appends;  // by handle 1 or 2, in order
  std::string after;
};
void PrintTo(const TwoHandlesCase& c, std::ostream* out) { *out << c.what; }

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
  EXPECT_EQ(machine->Contents(path), c.after) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, TwoHandles,
    testing::Values(
        TwoHandlesCase{"created twice", true, {{1, "a"}, {2, "bb"}, {1, "c"}}, "abbc"},
        TwoHandlesCase{"created, then opened", false, {{1, "a"}, {2, "bb"}, {1, "c"}}, "abbc"},
        TwoHandlesCase{"the second writes first", false, {{2, "x"}, {1, "yy"}, {2, "z"}}, "xyyz"}),
    RowIndex);

// --- names of files and folders --------------------------------------------------

struct NameCase {
  const char* what;
  const char16_t* path;  // after the scratch folder, which holds Logs\Run.log and Logs\Locked.log
  bool exists;
  bool isFile;
  bool isFolder;
  bool readOnly;
};
void PrintTo(const NameCase& c, std::ostream* out) { *out << c.what; }

class Names : public FileContract, public testing::WithParamInterface<NameCase> {};

TEST_P(Names, AreReadAsWindowsReadsThem) {
  const NameCase& c = GetParam();
  machine->PutFolder(u"Logs");
  machine->PutFile(u"Logs\\Run.log", "x", false);
  machine->PutFile(u"Logs\\Locked.log", "x", true);
  const std::u16string path = folder + c.path;
  EXPECT_EQ(files.Exists(path), c.exists) << c.what;
  EXPECT_EQ(queries.IsFile(path), c.isFile) << c.what;
  EXPECT_EQ(queries.IsFolder(path), c.isFolder) << c.what;
  EXPECT_EQ(files.IsReadOnly(path), c.readOnly) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Names,
    testing::Values(
        NameCase{"a folder", u"\\Logs", true, false, true, false},
        NameCase{"a folder with a trailing separator", u"\\Logs\\", true, false, true, false},
        NameCase{"a folder with two trailing separators", u"\\Logs\\\\", true, false, true, false},
        NameCase{"a folder with slashes", u"/Logs/", true, false, true, false},
        NameCase{"a folder in another case", u"\\LOGS", true, false, true, false},
        NameCase{"a file", u"\\Logs\\Run.log", true, true, false, false},
        NameCase{"a file with slashes", u"/Logs/Run.log", true, true, false, false},
        NameCase{"a file with a doubled separator", u"\\Logs\\\\Run.log", true, true, false, false},
        NameCase{"a file in another case", u"\\logs\\RUN.LOG", true, true, false, false},
        NameCase{"a file with a trailing separator", u"\\Logs\\Run.log\\", false, false, false,
                 false},
        NameCase{"a file's name cut short", u"\\Logs\\Run", false, false, false, false},
        NameCase{"a read-only file", u"\\Logs\\Locked.log", true, true, false, true},
        NameCase{"a read-only file in another case", u"\\LOGS\\locked.LOG", true, true, false,
                 true}),
    RowIndex);

// --- a listing ------------------------------------------------------------------

struct ListCase {
  const char* what;
  const char16_t* folder;  // after the scratch folder
  const char16_t* pattern;
  std::vector<std::string> listed;  // "name size", sorted
};
void PrintTo(const ListCase& c, std::ostream* out) { *out << c.what; }

class Listing : public FileContract, public testing::WithParamInterface<ListCase> {};

TEST_P(Listing, HoldsTheMatchingFilesWithTheirSizes) {
  const ListCase& c = GetParam();
  machine->PutFolder(u"Logs");
  machine->PutFile(u"Logs\\LSScheduler_1.log", "abc", false);
  machine->PutFile(u"Logs\\LSScheduler_2.log", "", false);
  machine->PutFile(u"Logs\\notes.txt", "12345", false);
  machine->PutFolder(u"Logs\\Old.log");
  machine->PutFile(u"Logs\\Old.log\\Inner.log", "x", false);
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
                 {"LSScheduler_1.log 3", "LSScheduler_2.log 0", "notes.txt 5"}},
        ListCase{"one character open",
                 u"\\Logs",
                 u"LSScheduler_?.log",
                 {"LSScheduler_1.log 3", "LSScheduler_2.log 0"}},
        ListCase{
            "a pattern in another case", u"\\Logs", u"lsscheduler_1.LOG", {"LSScheduler_1.log 3"}},
        ListCase{"a folder with a trailing separator", u"\\Logs\\", u"*.txt", {"notes.txt 5"}},
        ListCase{"no match", u"\\Logs", u"*.csv", {}},
        ListCase{"a missing folder", u"\\Gone", u"*", {}}),
    RowIndex);

// --- replacing and deleting files -------------------------------------------------

struct ReplaceCase {
  const char* what;
  bool remove;           // RemoveFile, or CreateEmptyFile
  const char16_t* name;  // in the scratch folder, which holds a.log, ro.log and a folder Sub
  Status status;
  std::optional<std::string> after;  // the file's bytes afterwards; nothing: none
  const char* wineDiffers = nullptr;
};
void PrintTo(const ReplaceCase& c, std::ostream* out) { *out << c.what; }

class Replace : public FileContract, public testing::WithParamInterface<ReplaceCase> {};

TEST_P(Replace, AnswersWithWin32sErrorCodes) {
  const ReplaceCase& c = GetParam();
  if (c.wineDiffers != nullptr && OnWine()) GTEST_SKIP() << c.wineDiffers;
  machine->PutFile(u"a.log", "abc", false);
  machine->PutFile(u"ro.log", "abc", true);
  machine->PutFolder(u"Sub");
  const std::u16string path = Path(c.name);
  EXPECT_EQ(c.remove ? queries.RemoveFile(path) : queries.CreateEmptyFile(path), c.status)
      << c.what;
  const std::optional<CheckQueries::Tail> tail = queries.ReadTail(path, 64);
  EXPECT_EQ(tail ? std::optional(tail->bytes) : std::nullopt, c.after) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, Replace,
    testing::Values(
        ReplaceCase{"delete a file", true, u"a.log", 0, std::nullopt},
        ReplaceCase{"delete a read-only file", true, u"ro.log", 5, "abc"},
        ReplaceCase{"delete a missing file", true, u"b.log", 2, std::nullopt},
        ReplaceCase{"delete in a missing folder", true, u"Gone\\a.log", 3, std::nullopt},
        ReplaceCase{"delete a folder", true, u"Sub", 5, std::nullopt},
        ReplaceCase{"create a new file", false, u"b.log", 0, ""},
        ReplaceCase{"create over a file", false, u"a.log", 0, ""},
        ReplaceCase{"create over a read-only file", false, u"ro.log", 5, "abc",
                    kRootWritesReadOnlyFiles},
        ReplaceCase{"create in a missing folder", false, u"Gone\\b.log", 3, std::nullopt},
        ReplaceCase{"create where a folder has the name", false, u"Sub", 5, std::nullopt}),
    RowIndex);

}  // namespace
}  // namespace lss::contract
