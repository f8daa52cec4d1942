#pragma once
// An in-memory file system for the run log. Files and folders are named as
// on Windows (fake_paths.h). Like Win32, a file can be created only inside a known folder and
// a read-only file cannot be opened for writing. Every call is recorded; with
// a journal, the opens also go there, in order with the other fakes' calls.
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
    enum Kind { kExists, kIsReadOnly, kCreate, kOpenExisting, kSeekToEnd, kAppend, kClose };
    Kind kind;
    std::u16string path;
    std::string bytes;  // what an Append was given
  };

  explicit FakeFileSystem(CallJournal* journal = nullptr) : journal_(journal) {}

  bool Exists(std::u16string_view path) override;
  bool IsReadOnly(std::u16string_view path) override;
  std::unique_ptr<File> Create(std::u16string_view path) override;
  std::unique_ptr<File> OpenExisting(std::u16string_view path) override;

  void AddFolder(std::u16string_view path);
  void AddFile(std::u16string_view path, std::string_view bytes = {}, bool readOnly = false);

  // Failures to inject; each holds until switched off.
  void FailCreate(bool fail) { failCreate_ = fail; }
  void FailOpenExisting(bool fail) { failOpenExisting_ = fail; }
  void FailSeekToEnd(bool fail) { failSeekToEnd_ = fail; }
  void FailAppend(bool fail) { failAppend_ = fail; }

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
  };

  void Record(Operation::Kind kind, std::u16string_view path, std::string bytes = {});
  std::unique_ptr<File> OpenFile(std::u16string_view path);

  CallJournal* journal_;
  std::map<std::u16string, Entry> files_;  // by PathKey
  std::set<std::u16string> folders_;
  std::vector<Operation> operations_;
  bool failCreate_ = false;
  bool failOpenExisting_ = false;
  bool failSeekToEnd_ = false;
  bool failAppend_ = false;
  int openFiles_ = 0;
};

}  // namespace lss::test
