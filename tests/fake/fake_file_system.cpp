#include "fake/fake_file_system.h"

#include <algorithm>
#include <utility>

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
    owner_.files_[path_].bytes += bytes;
    return true;
  }

 private:
  FakeFileSystem& owner_;
  std::u16string path_;
};

bool FakeFileSystem::Exists(std::u16string_view path) {
  Record(Operation::kExists, path);
  return files_.count(std::u16string(path)) != 0 || folders_.count(FolderKey(path)) != 0;
}

bool FakeFileSystem::IsReadOnly(std::u16string_view path) {
  Record(Operation::kIsReadOnly, path);
  const auto found = files_.find(std::u16string(path));
  return found != files_.end() && found->second.readOnly;
}

std::unique_ptr<File> FakeFileSystem::Create(std::u16string_view path) {
  const std::u16string key(path);
  Record(Operation::kCreate, key);
  if (failCreate_) return nullptr;
  if (files_.count(key) == 0) {
    const std::size_t separator = key.find_last_of(u"\\/");
    const std::u16string_view folder =
        separator == std::u16string::npos ? std::u16string_view() : path.substr(0, separator);
    if (folders_.count(FolderKey(folder)) == 0 || folders_.count(FolderKey(path)) != 0) {
      return nullptr;
    }
    files_[key];
  }
  return OpenFile(key);
}

std::unique_ptr<File> FakeFileSystem::OpenExisting(std::u16string_view path) {
  const std::u16string key(path);
  Record(Operation::kOpenExisting, key);
  if (failOpenExisting_ || files_.count(key) == 0) return nullptr;
  return OpenFile(key);
}

std::unique_ptr<File> FakeFileSystem::OpenFile(const std::u16string& path) {
  if (files_.at(path).readOnly) return nullptr;  // no write access, as on Win32
  return std::make_unique<FakeFile>(*this, path);
}

bool FakeFileSystem::IsFolder(std::u16string_view path) {
  return folders_.count(FolderKey(path)) != 0;
}

namespace {

char16_t Fold(char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; }

// Win32's wildcards, without regard to case: * any run, ? any one character.
bool Matches(std::u16string_view pattern, std::u16string_view name) {
  if (pattern.empty()) return name.empty();
  if (pattern.front() == u'*') {
    for (std::size_t skip = 0; skip <= name.size(); ++skip) {
      if (Matches(pattern.substr(1), name.substr(skip))) return true;
    }
    return false;
  }
  return !name.empty() &&
         (pattern.front() == u'?' || Fold(pattern.front()) == Fold(name.front())) &&
         Matches(pattern.substr(1), name.substr(1));
}

}  // namespace

std::vector<FileSystem::Listed> FakeFileSystem::ListFiles(std::u16string_view folder,
                                                          std::u16string_view pattern) {
  std::vector<Listed> listed;
  const std::u16string wanted = FolderKey(folder);
  for (const auto& [path, entry] : files_) {
    const std::size_t separator = path.find_last_of(u"\\/");
    if (separator == std::u16string::npos || FolderKey(path.substr(0, separator)) != wanted) {
      continue;
    }
    const std::u16string name = path.substr(separator + 1);
    if (Matches(pattern, name)) listed.push_back({name, entry.bytes.size()});
  }
  return listed;
}

std::optional<FileSystem::Tail> FakeFileSystem::ReadTail(std::u16string_view path,
                                                         std::size_t maxBytes) {
  Record(Operation::kReadTail, path);
  largestTailAsked_ = std::max(largestTailAsked_, maxBytes);
  const auto found = files_.find(std::u16string(path));
  if (found == files_.end()) return std::nullopt;
  const std::string& bytes = found->second.bytes;
  const std::size_t kept = std::min(bytes.size(), maxBytes);
  return Tail{bytes.substr(bytes.size() - kept), bytes.size()};
}

Status FakeFileSystem::CreateEmptyFile(std::u16string_view path) {
  const std::u16string key(path);
  Record(Operation::kCreateEmpty, key);
  const std::size_t separator = key.find_last_of(u"\\/");
  const std::u16string folder = separator == std::u16string::npos ? u"" : key.substr(0, separator);
  if (folders_.count(FolderKey(folder)) == 0) return 3;  // ERROR_PATH_NOT_FOUND
  if (denyProbe_ || folders_.count(FolderKey(path)) != 0) return win32_error::kAccessDenied;
  const auto found = files_.find(key);
  if (found != files_.end() && found->second.readOnly) return win32_error::kAccessDenied;
  files_[key] = Entry{};
  return win32_error::kSuccess;
}

Status FakeFileSystem::RemoveFile(std::u16string_view path) {
  const std::u16string key(path);
  Record(Operation::kRemove, key);
  const auto found = files_.find(key);
  if (found == files_.end()) return win32_error::kFileNotFound;
  if (denyProbe_ || found->second.readOnly) return win32_error::kAccessDenied;
  files_.erase(found);
  return win32_error::kSuccess;
}

void FakeFileSystem::AddFolder(std::u16string_view path) { folders_.insert(FolderKey(path)); }

void FakeFileSystem::AddFile(std::u16string_view path, std::string_view bytes, bool readOnly) {
  files_[std::u16string(path)] = Entry{std::string(bytes), readOnly};
}

std::optional<std::string> FakeFileSystem::Contents(std::u16string_view path) const {
  const auto found = files_.find(std::u16string(path));
  if (found == files_.end()) return std::nullopt;
  return found->second.bytes;
}

std::vector<std::u16string> FakeFileSystem::FilePaths() const {
  std::vector<std::u16string> paths;
  for (const auto& [path, entry] : files_) paths.push_back(path);
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
  const char* call = kind == Operation::kCreate         ? "CreateFile "
                     : kind == Operation::kOpenExisting ? "OpenFile "
                     : kind == Operation::kCreateEmpty  ? "CreateEmptyFile "
                     : kind == Operation::kRemove       ? "RemoveFile "
                                                        : nullptr;
  if (call != nullptr) journal_->Add(call + Narrow(path));
}

std::u16string FakeFileSystem::FolderKey(std::u16string_view path) {
  std::u16string key;
  for (const char16_t unit : path) {
    const char16_t normal = unit == u'/' ? u'\\' : unit;
    if (normal == u'\\' && !key.empty() && key.back() == u'\\') continue;
    key.push_back(normal);
  }
  while (!key.empty() && key.back() == u'\\') key.pop_back();
  return key;
}

}  // namespace lss::test
