#pragma once
// The run log's file system on a fake disk (fake_disk.h): its own, or one
// given that outlives it. Like Win32, a read-only file cannot be opened for
// writing. Every call is recorded; with a journal, the opens, folder
// creations, listings and deletions also go there, in order with the other
// fakes' calls.
#include <cstdint>
#include <memory>
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
      kRemoveFile
    };
    Kind kind;
    std::u16string path;
    std::string bytes;  // what an Append was given
  };

  FakeFileSystem() : own_(std::make_unique<FakeDisk>()), disk_(*own_) {}
  explicit FakeFileSystem(FakeDisk& disk, CallJournal* journal = nullptr)
      : disk_(disk), journal_(journal) {}

  bool Exists(std::u16string_view path) override;
  bool IsReadOnly(std::u16string_view path) override;
  std::unique_ptr<File> Create(std::u16string_view path) override;
  std::unique_ptr<File> OpenExisting(std::u16string_view path) override;
  Status CreateFolder(std::u16string_view path) override;
  std::vector<Entry> ListFolder(std::u16string_view folder, std::u16string_view pattern) override;
  Status RemoveFile(std::u16string_view path) override;

  FakeDisk& disk() const { return disk_; }

  // Failures to inject; each holds until switched off.
  void FailCreate(bool fail) { failCreate_ = fail; }
  void FailOpenExisting(bool fail) { failOpenExisting_ = fail; }
  void FailSeekToEnd(bool fail) { failSeekToEnd_ = fail; }
  void FailAppend(bool fail) { failAppend_ = fail; }
  // CreateFolder fails with ERROR_ACCESS_DENIED.
  void DenyCreateFolder(bool deny) { denyCreateFolder_ = deny; }

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
  int openFiles_ = 0;
};

}  // namespace lss::test
