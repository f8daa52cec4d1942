#include "fake/fake_disk.h"

#include "fake/fake_paths.h"

namespace lss::test {

void FakeDisk::AddFolder(std::u16string_view path) {
  folders_.emplace(FolderKey(path), FolderName(path));
}

void FakeDisk::AddFile(std::u16string_view path, std::string_view bytes, bool readOnly) {
  files_[PathKey(path)] = File{std::u16string(path), std::string(bytes), readOnly};
}

void FakeDisk::AddLink(std::u16string_view path) {
  files_[PathKey(path)] = File{std::u16string(path), {}, false, true};
}

std::vector<std::u16string> FakeDisk::FilePaths() const {
  std::vector<std::u16string> paths;
  for (const auto& [key, file] : files_) paths.push_back(file.path);
  return paths;
}

bool FakeDisk::FolderExists(std::u16string_view path) const {
  return folders_.count(FolderKey(path)) != 0;
}

const FakeDisk::File* FakeDisk::FindFile(std::u16string_view path) const {
  const auto found = files_.find(PathKey(path));
  return found == files_.end() ? nullptr : &found->second;
}

std::vector<FakeDisk::Entry> FakeDisk::Inside(std::u16string_view folder,
                                              std::u16string_view pattern) const {
  const std::u16string wanted = FolderKey(folder);
  const auto nameOf = [](std::u16string_view path) {
    return std::u16string(path.substr(path.find_last_of(u"\\/") + 1));
  };
  const auto inFolder = [&](std::u16string_view path) {
    return path.find_first_of(u"\\/") != std::u16string_view::npos &&
           FolderKey(ParentOf(path)) == wanted && MatchesWildcard(pattern, nameOf(path));
  };
  std::vector<Entry> inside;
  for (const auto& [key, file] : files_) {
    if (inFolder(file.path)) inside.push_back({nameOf(file.path), &file});
  }
  for (const auto& [key, name] : folders_) {
    if (key != wanted && inFolder(name)) inside.push_back({nameOf(name), nullptr});
  }
  return inside;
}

Status FakeDisk::CreateFolder(std::u16string_view path, bool denied) {
  if (FindFile(path) != nullptr || FolderExists(path)) return win32_error::kAlreadyExists;
  if (!FolderExists(ParentOf(FolderKey(path)))) return win32_error::kPathNotFound;
  if (denied) return win32_error::kAccessDenied;
  AddFolder(path);
  return win32_error::kSuccess;
}

Status FakeDisk::RemoveFolder(std::u16string_view path, bool denied) {
  constexpr Status kDirNotEmpty = 145;  // ERROR_DIR_NOT_EMPTY
  constexpr Status kNotAFolder = 267;   // ERROR_DIRECTORY
  if (FindFile(path) != nullptr) return kNotAFolder;
  if (!FolderExists(path)) return win32_error::kFileNotFound;
  if (denied) return win32_error::kAccessDenied;
  if (!Inside(path).empty()) return kDirNotEmpty;
  folders_.erase(FolderKey(path));
  return win32_error::kSuccess;
}

Status FakeDisk::RemoveFile(std::u16string_view path, bool denied) {
  const auto found = files_.find(PathKey(path));
  if (found == files_.end()) {
    if (FolderExists(path)) return win32_error::kAccessDenied;
    const std::u16string_view parent = ParentOf(path);
    if (!FolderExists(parent) && Inside(parent).empty()) return win32_error::kPathNotFound;
    return win32_error::kFileNotFound;
  }
  if (denied || found->second.readOnly) return win32_error::kAccessDenied;
  files_.erase(found);
  return win32_error::kSuccess;
}

}  // namespace lss::test
