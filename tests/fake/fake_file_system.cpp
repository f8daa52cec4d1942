#include "fake/fake_file_system.h"

#include <algorithm>
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
    listed.push_back({entry.name, entry.file == nullptr, entry.file && entry.file->link,
                      entry.file ? entry.file->bytes.size() : 0});
  }
  return listed;
}

Status FakeFileSystem::RemoveFile(std::u16string_view path) {
  Record(Operation::kRemoveFile, path);
  return disk_.RemoveFile(path, denyRemove_);
}

PathKind FakeFileSystem::Look(std::u16string_view path) {
  if (!unexaminable_.empty() && FolderKey(path) == FolderKey(unexaminable_)) {
    return PathKind::kUnknown;
  }
  if (disk_.FindFile(path) != nullptr) return PathKind::kFile;
  if (!disk_.FolderExists(path)) return PathKind::kMissing;
  return disk_.Inside(path).empty() ? PathKind::kEmptyFolder : PathKind::kFolderWithEntries;
}

Status FakeFileSystem::CreateEmptyFile(std::u16string_view path) {
  Record(Operation::kCreateEmptyFile, path);
  if (!disk_.FolderExists(ParentOf(path))) return win32_error::kPathNotFound;
  const FakeDisk::File* file = disk_.FindFile(path);
  if (denyCreateFile_ || disk_.FolderExists(path) || (file != nullptr && file->readOnly)) {
    return win32_error::kAccessDenied;
  }
  disk_.AddFile(path);  // replaced, under the name now given
  return win32_error::kSuccess;
}

Status FakeFileSystem::CreateFolders(std::u16string_view path) {
  Record(Operation::kCreateFolders, path);
  if (createFoldersFailure_ != 0) return createFoldersFailure_;
  std::vector<std::u16string> levels;
  for (std::u16string level(path); !level.empty() && level.back() != u':';
       level = std::u16string(ParentOf(level))) {
    if (disk_.FindFile(level) != nullptr) {
      return levels.empty() ? win32_error::kAlreadyExists : win32_error::kPathNotFound;
    }
    levels.push_back(level);
  }
  for (const std::u16string& level : levels) disk_.AddFolder(level);
  return win32_error::kSuccess;
}

std::optional<FileSystem::Tail> FakeFileSystem::ReadTail(std::u16string_view path,
                                                         std::size_t maxBytes) {
  largestTailAsked_ = std::max(largestTailAsked_, maxBytes);
  const FakeDisk::File* file = disk_.FindFile(path);
  if (file == nullptr) return std::nullopt;
  const std::string& bytes = file->bytes;
  const std::size_t kept = std::min(bytes.size(), maxBytes);
  return Tail{bytes.substr(bytes.size() - kept), bytes.size()};
}

std::optional<std::string> FakeFileSystem::ReadAt(std::u16string_view path, std::uint64_t offset,
                                                  std::size_t maxBytes) {
  const FakeDisk::File* file = disk_.FindFile(path);
  if (file == nullptr) return std::nullopt;
  if (offset >= file->bytes.size()) return std::string();
  return file->bytes.substr(static_cast<std::size_t>(offset), maxBytes);
}

Status FakeFileSystem::WriteNewFile(std::u16string_view path, std::string_view bytes) {
  Record(Operation::kWriteNewFile, path);
  if (!disk_.FolderExists(ParentOf(path))) return win32_error::kPathNotFound;
  if (disk_.FindFile(path) != nullptr || disk_.FolderExists(path)) {
    return win32_error::kFileExists;
  }
  if (!failingName_.empty() && path.ends_with(failingName_)) return writeFailure_;
  disk_.AddFile(path, bytes);
  return win32_error::kSuccess;
}

Status FakeFileSystem::RemoveFolder(std::u16string_view path) {
  Record(Operation::kRemoveFolder, path);
  return disk_.RemoveFolder(path, denyRemove_);
}

std::optional<std::u16string> FakeFileSystem::FileVersion(std::u16string_view path) {
  if (disk_.FindFile(path) == nullptr) return std::nullopt;
  for (const auto& [name, version] : disk_.fileVersions) {
    if (PathKey(name) == PathKey(path)) return version;
  }
  return std::nullopt;
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
