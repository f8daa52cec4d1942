#include "fake/fake_file_system.h"

#include <utility>

#include "fake/fake_paths.h"

namespace lss::test {

// Writes go to the end of the entry, as the real file's appends do. The file
// system must outlive its files.
class FakeFileSystem::FakeFile final : public File {
 public:
  FakeFile(FakeFileSystem& owner, std::u16string path, std::u16string key)
      : owner_(owner), path_(std::move(path)), key_(std::move(key)) {
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
    owner_.files_.at(key_).bytes += bytes;
    return true;
  }

 private:
  FakeFileSystem& owner_;
  std::u16string path_;  // as the program named it
  std::u16string key_;
};

bool FakeFileSystem::Exists(std::u16string_view path) {
  Record(Operation::kExists, path);
  return files_.count(PathKey(path)) != 0 || folders_.count(FolderKey(path)) != 0;
}

bool FakeFileSystem::IsReadOnly(std::u16string_view path) {
  Record(Operation::kIsReadOnly, path);
  const auto found = files_.find(PathKey(path));
  return found != files_.end() && found->second.readOnly;
}

std::unique_ptr<File> FakeFileSystem::Create(std::u16string_view path) {
  const std::u16string key = PathKey(path);
  Record(Operation::kCreate, path);
  if (failCreate_) return nullptr;
  if (files_.count(key) == 0) {
    const std::size_t separator = path.find_last_of(u"\\/");
    const std::u16string_view folder =
        separator == std::u16string::npos ? std::u16string_view() : path.substr(0, separator);
    if (!FolderExists(folder) || FolderExists(path)) {
      return nullptr;
    }
    files_[key].path = path;
  }
  return OpenFile(path);
}

std::unique_ptr<File> FakeFileSystem::OpenExisting(std::u16string_view path) {
  Record(Operation::kOpenExisting, path);
  if (failOpenExisting_ || files_.count(PathKey(path)) == 0) return nullptr;
  return OpenFile(path);
}

std::unique_ptr<File> FakeFileSystem::OpenFile(std::u16string_view path) {
  std::u16string key = PathKey(path);
  if (files_.at(key).readOnly) return nullptr;  // no write access, as on Win32
  return std::make_unique<FakeFile>(*this, std::u16string(path), std::move(key));
}

Status FakeFileSystem::CreateFolder(std::u16string_view path) {
  Record(Operation::kCreateFolder, path);
  if (files_.count(PathKey(path)) != 0 || FolderExists(path)) {
    return win32_error::kAlreadyExists;
  }
  if (!FolderExists(ParentOf(FolderKey(path)))) return win32_error::kPathNotFound;
  if (denyCreateFolder_) return win32_error::kAccessDenied;
  folders_.emplace(FolderKey(path), FolderName(path));
  return win32_error::kSuccess;
}

std::vector<FileSystem::Entry> FakeFileSystem::ListFolder(std::u16string_view folder,
                                                          std::u16string_view pattern) {
  Record(Operation::kListFolder, folder, Narrow(pattern));
  std::vector<FileSystem::Entry> listed;
  if (!FolderExists(folder)) return listed;
  const std::u16string wanted = FolderKey(folder);
  const auto inFolder = [&](std::u16string_view path) {
    return path.find_first_of(u"\\/") != std::u16string_view::npos &&
           FolderKey(ParentOf(path)) == wanted;
  };
  const auto nameOf = [](std::u16string_view path) {
    return std::u16string(path.substr(path.find_last_of(u"\\/") + 1));
  };
  for (const auto& [key, entry] : files_) {
    if (inFolder(entry.path) && MatchesWildcard(pattern, nameOf(entry.path))) {
      listed.push_back({nameOf(entry.path), false, entry.link});
    }
  }
  for (const auto& [key, path] : folders_) {
    if (inFolder(path) && MatchesWildcard(pattern, nameOf(path))) {
      listed.push_back({nameOf(path), true, false});
    }
  }
  return listed;
}

Status FakeFileSystem::RemoveFile(std::u16string_view path) {
  Record(Operation::kRemoveFile, path);
  const auto found = files_.find(PathKey(path));
  if (found == files_.end()) {
    return FolderExists(path) ? win32_error::kAccessDenied : win32_error::kFileNotFound;
  }
  if (found->second.readOnly) return win32_error::kAccessDenied;
  files_.erase(found);
  return win32_error::kSuccess;
}

void FakeFileSystem::AddFolder(std::u16string_view path) {
  folders_.emplace(FolderKey(path), FolderName(path));
}

void FakeFileSystem::AddLink(std::u16string_view path) {
  files_[PathKey(path)] = Entry{std::u16string(path), {}, false, true};
}

bool FakeFileSystem::FolderExists(std::u16string_view path) const {
  return folders_.count(FolderKey(path)) != 0;
}

void FakeFileSystem::AddFile(std::u16string_view path, std::string_view bytes, bool readOnly) {
  files_[PathKey(path)] = Entry{std::u16string(path), std::string(bytes), readOnly};
}

std::optional<std::string> FakeFileSystem::Contents(std::u16string_view path) const {
  const auto found = files_.find(PathKey(path));
  if (found == files_.end()) return std::nullopt;
  return found->second.bytes;
}

std::vector<std::u16string> FakeFileSystem::FilePaths() const {
  std::vector<std::u16string> paths;
  for (const auto& [key, entry] : files_) paths.push_back(entry.path);
  return paths;
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
