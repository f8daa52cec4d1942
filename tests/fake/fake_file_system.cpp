#include "fake/fake_file_system.h"

#include <utility>

#include "fake/fake_paths.h"

namespace lss::test {

// Writes go to the end of the entry, as the real file's appends do. The file
// system must outlive its files.
class FakeFileSystem::FakeFile final : public File {
 public:
  FakeFile(FakeFileSystem& owner, std::u16string path) : owner_(owner), path_(std::move(path)) {
    ++owner_.openFiles_;
  }
  ~FakeFile() override {
    --owner_.openFiles_;
    owner_.Record(Operation::kClose, path_);
  }

  bool SeekToEnd() override {
    owner_.Record(Operation::kSeekToEnd, path_);
    return !owner_.failSeekToEnd_;
  }

  bool Append(const std::uint8_t* data, std::size_t size) override {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    owner_.Record(Operation::kAppend, path_, bytes);
    if (owner_.failAppend_) return false;
    // A file deleted while open takes the bytes with it.
    if (FakeDisk::File* file = owner_.disk_.FindFile(path_)) file->bytes += bytes;
    return true;
  }

 private:
  FakeFileSystem& owner_;
  std::u16string path_;  // as the program named it
};

bool FakeFileSystem::Exists(std::u16string_view path) {
  Record(Operation::kExists, path);
  return disk_.FindFile(path) != nullptr || disk_.FolderExists(path);
}

bool FakeFileSystem::IsReadOnly(std::u16string_view path) {
  Record(Operation::kIsReadOnly, path);
  const FakeDisk::File* file = disk_.FindFile(path);
  return file != nullptr && file->readOnly;
}

std::unique_ptr<File> FakeFileSystem::Create(std::u16string_view path) {
  Record(Operation::kCreate, path);
  if (failCreate_) return nullptr;
  if (disk_.FindFile(path) == nullptr) {
    if (!disk_.FolderExists(ParentOf(path)) || disk_.FolderExists(path)) return nullptr;
    disk_.AddFile(path);
  }
  return OpenFile(path);
}

std::unique_ptr<File> FakeFileSystem::OpenExisting(std::u16string_view path) {
  Record(Operation::kOpenExisting, path);
  if (failOpenExisting_ || disk_.FindFile(path) == nullptr) return nullptr;
  return OpenFile(path);
}

std::unique_ptr<File> FakeFileSystem::OpenFile(std::u16string_view path) {
  if (disk_.FindFile(path)->readOnly) return nullptr;  // no write access, as on Win32
  return std::make_unique<FakeFile>(*this, std::u16string(path));
}

Status FakeFileSystem::CreateFolder(std::u16string_view path) {
  Record(Operation::kCreateFolder, path);
  return disk_.CreateFolder(path, denyCreateFolder_);
}

std::vector<FileSystem::Entry> FakeFileSystem::ListFolder(std::u16string_view folder,
                                                          std::u16string_view pattern) {
  Record(Operation::kListFolder, folder, Narrow(pattern));
  std::vector<FileSystem::Entry> listed;
  if (!disk_.FolderExists(folder)) return listed;
  for (const FakeDisk::Entry& entry : disk_.Inside(folder, pattern)) {
    listed.push_back({entry.name, entry.file == nullptr, entry.file && entry.file->link});
  }
  return listed;
}

Status FakeFileSystem::RemoveFile(std::u16string_view path) {
  Record(Operation::kRemoveFile, path);
  return disk_.RemoveFile(path);
}

std::vector<FakeFileSystem::Operation> FakeFileSystem::OperationsOf(Operation::Kind kind) const {
  std::vector<Operation> selected;
  for (const Operation& operation : operations_) {
    if (operation.kind == kind) selected.push_back(operation);
  }
  return selected;
}

void FakeFileSystem::Record(Operation::Kind kind, std::u16string_view path, std::string bytes) {
  operations_.push_back({kind, std::u16string(path), std::move(bytes)});
  if (journal_ == nullptr) return;
  if (kind == Operation::kCreate) journal_->Add("CreateFile " + Narrow(path));
  if (kind == Operation::kOpenExisting) journal_->Add("OpenFile " + Narrow(path));
  if (kind == Operation::kCreateFolder) journal_->Add("CreateDirectory " + Narrow(path));
  if (kind == Operation::kListFolder) journal_->Add("FindFirstFile " + Narrow(path));
  if (kind == Operation::kRemoveFile) journal_->Add("DeleteFile " + Narrow(path));
}

}  // namespace lss::test
