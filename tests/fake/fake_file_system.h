#pragma once
// Both programs' file system on a fake disk (fake_disk.h): its own, or one
// given that outlives it. Like Win32, a read-only file cannot be opened for
// writing. Every call is recorded; with a journal, the run log's opens,
// folder creations, listings and deletions also go there, in order with the
// other fakes' calls.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fake/call_journal.h"
#include "fake/fake_disk.h"
#include "platform/file_system.h"

namespace lss::test {

class FakeFileSystem final : public FileSystem {
 public:
  struct Operation {
    enum Kind {
      kExists,
      kIsReadOnly,
      kCreate,
      kOpenExisting,
      kSeekToEnd,
      kAppend,
      kClose,
      kCreateFolder,
      kListFolder,
      kRemoveFile,
      kCreateEmptyFile,
      kCreateFolders,
      kWriteNewFile,
      kRemoveFolder
    };
    Kind kind;
    std::u16string path;
    std::string bytes;  // what an Append was given
  };

  FakeFileSystem() : own_(std::make_unique<FakeDisk>()), disk_(*own_) {}
  explicit FakeFileSystem(FakeDisk& disk, CallJournal* journal = nullptr)
      : disk_(disk), journal_(journal) {}

  bool Exists(std::u16string_view path) override;
  bool IsFile(std::u16string_view path) override { return disk_.FindFile(path) != nullptr; }
  bool IsFolder(std::u16string_view path) override { return disk_.FolderExists(path); }
  bool IsReadOnly(std::u16string_view path) override;
  PathKind Look(std::u16string_view path) override;
  std::unique_ptr<File> Create(std::u16string_view path) override;
  std::unique_ptr<File> OpenExisting(std::u16string_view path) override;
  Status CreateEmptyFile(std::u16string_view path) override;
  Status CreateFolder(std::u16string_view path) override;
  Status CreateFolders(std::u16string_view path) override;
  std::vector<Entry> ListFolder(std::u16string_view folder, std::u16string_view pattern) override;
  Status RemoveFile(std::u16string_view path) override;
  std::optional<Tail> ReadTail(std::u16string_view path, std::size_t maxBytes) override;
  std::optional<std::string> ReadAt(std::u16string_view path, std::uint64_t offset,
                                    std::size_t maxBytes) override;
  Status WriteNewFile(std::u16string_view path, std::string_view bytes) override;
  Status RemoveFolder(std::u16string_view path) override;
  // From the disk's fileVersions.
  std::optional<std::u16string> FileVersion(std::u16string_view path) override;

  FakeDisk& disk() const { return disk_; }

  // Failures to inject; each holds until switched off.
  void FailCreate(bool fail) { failCreate_ = fail; }
  void FailOpenExisting(bool fail) { failOpenExisting_ = fail; }
  void FailSeekToEnd(bool fail) { failSeekToEnd_ = fail; }
  void FailAppend(bool fail) { failAppend_ = fail; }
  // CreateFolder fails with ERROR_ACCESS_DENIED.
  void DenyCreateFolder(bool deny) { denyCreateFolder_ = deny; }
  // CreateEmptyFile and CreateFolder fail with ERROR_ACCESS_DENIED.
  void DenyCreate(bool deny) { denyCreateFile_ = denyCreateFolder_ = deny; }
  // RemoveFile and RemoveFolder fail with ERROR_ACCESS_DENIED.
  void DenyRemove(bool deny) { denyRemove_ = deny; }
  // CreateFolders answers this when not 0.
  void FailCreateFolders(Status status) { createFoldersFailure_ = status; }
  // WriteNewFile of a path ending with `name` fails with `status` (e.g.
  // ERROR_DISK_FULL) and leaves no file.
  void FailWriteNewFile(std::u16string_view name, Status status) {
    failingName_ = name;
    writeFailure_ = status;
  }
  // Look cannot examine this path (kUnknown), as for a folder it may not list.
  void HideFromLook(std::u16string_view path) { unexaminable_ = path; }

  // The largest tail any ReadTail call asked for.
  std::size_t largestTailAsked() const { return largestTailAsked_; }

  const std::vector<Operation>& operations() const { return operations_; }
  // The operations of one kind, in order.
  std::vector<Operation> OperationsOf(Operation::Kind kind) const;
  int openFiles() const { return openFiles_; }

 private:
  class FakeFile;

  void Record(Operation::Kind kind, std::u16string_view path, std::string bytes = {});
  std::unique_ptr<File> OpenFile(std::u16string_view path);

  std::unique_ptr<FakeDisk> own_;
  FakeDisk& disk_;
  CallJournal* journal_ = nullptr;
  std::vector<Operation> operations_;
  bool failCreate_ = false;
  bool failOpenExisting_ = false;
  bool failSeekToEnd_ = false;
  bool failAppend_ = false;
  bool denyCreateFolder_ = false;
  bool denyCreateFile_ = false;
  bool denyRemove_ = false;
  Status createFoldersFailure_ = 0;
  std::u16string failingName_;
  Status writeFailure_ = 0;
  std::u16string unexaminable_;
  std::size_t largestTailAsked_ = 0;
  int openFiles_ = 0;
};

}  // namespace lss::test
