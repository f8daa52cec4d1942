#pragma once
// An in-memory file system for the run log. Files and folders are named as
// on Windows (fake_paths.h). Like Win32, a file or folder can be created only
// inside a known folder, and a read-only file can be neither opened for
// writing nor deleted. Every call is recorded; with a journal, the opens,
// folder creations, listings and deletions also go there, in order with the
// other fakes' calls.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "fake/call_journal.h"
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

  explicit FakeFileSystem(CallJournal* journal = nullptr) : journal_(journal) {}

  bool Exists(std::u16string_view path) override;
  bool IsReadOnly(std::u16string_view path) override;
  std::unique_ptr<File> Create(std::u16string_view path) override;
  std::unique_ptr<File> OpenExisting(std::u16string_view path) override;
  Status CreateFolder(std::u16string_view path) override;
  std::vector<Entry> ListFolder(std::u16string_view folder, std::u16string_view pattern) override;
  Status RemoveFile(std::u16string_view path) override;

  void AddFolder(std::u16string_view path);
  void AddFile(std::u16string_view path, std::string_view bytes = {}, bool readOnly = false);
  // A symbolic link to a file: listed as a link, deleted like a file.
  void AddLink(std::u16string_view path);
  bool FolderExists(std::u16string_view path) const;

  // Failures to inject; each holds until switched off.
  void FailCreate(bool fail) { failCreate_ = fail; }
  void FailOpenExisting(bool fail) { failOpenExisting_ = fail; }
  void FailSeekToEnd(bool fail) { failSeekToEnd_ = fail; }
  void FailAppend(bool fail) { failAppend_ = fail; }
  // CreateFolder fails with ERROR_ACCESS_DENIED.
  void DenyCreateFolder(bool deny) { denyCreateFolder_ = deny; }

  // A file's bytes, or nothing when it does not exist.
  std::optional<std::string> Contents(std::u16string_view path) const;
  std::vector<std::u16string> FilePaths() const;
  const std::vector<Operation>& operations() const { return operations_; }
  // The operations of one kind, in order.
  std::vector<Operation> OperationsOf(Operation::Kind kind) const;
  int openFiles() const { return openFiles_; }

 private:
  class FakeFile;
  struct Entry {
    std::u16string path;  // as first named
    std::string bytes;
    bool readOnly = false;
    bool link = false;  // a reparse point, never followed
  };

  void Record(Operation::Kind kind, std::u16string_view path, std::string bytes = {});
  std::unique_ptr<File> OpenFile(std::u16string_view path);

  CallJournal* journal_;
  std::map<std::u16string, Entry> files_;  // by PathKey
  std::map<std::u16string, std::u16string> folders_;  // by FolderKey: the name first given
  std::vector<Operation> operations_;
  bool failCreate_ = false;
  bool failOpenExisting_ = false;
  bool failSeekToEnd_ = false;
  bool failAppend_ = false;
  bool denyCreateFolder_ = false;
  int openFiles_ = 0;
};

}  // namespace lss::test
