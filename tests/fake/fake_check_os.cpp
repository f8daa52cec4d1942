#include "fake/fake_check_os.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "fake/fake_paths.h"

namespace lss::test {

std::vector<CheckQueries::Listed> FakeCheckQueries::ListFiles(std::u16string_view folder,
                                                              std::u16string_view pattern) {
  std::vector<Listed> listed;
  for (const FakeDisk::Entry& entry : disk_.Inside(folder, pattern)) {
    if (entry.file != nullptr) listed.push_back({entry.name, entry.file->bytes.size()});
  }
  return listed;
}

std::optional<CheckQueries::Tail> FakeCheckQueries::ReadTail(std::u16string_view path,
                                                             std::size_t maxBytes) {
  largestTailAsked = std::max(largestTailAsked, maxBytes);
  const FakeDisk::File* file = disk_.FindFile(path);
  if (file == nullptr) return std::nullopt;
  const std::string& bytes = file->bytes;
  const std::size_t kept = std::min(bytes.size(), maxBytes);
  return Tail{bytes.substr(bytes.size() - kept), bytes.size()};
}

std::optional<std::string> FakeCheckQueries::ReadAt(std::u16string_view path,
                                                    std::uint64_t offset, std::size_t maxBytes) {
  const FakeDisk::File* file = disk_.FindFile(path);
  if (file == nullptr) return std::nullopt;
  if (offset >= file->bytes.size()) return std::string();
  return file->bytes.substr(static_cast<std::size_t>(offset), maxBytes);
}

std::optional<std::u16string> FakeCheckQueries::FileVersion(std::u16string_view path) {
  if (disk_.FindFile(path) == nullptr) return std::nullopt;
  for (const auto& [name, version] : disk_.fileVersions) {
    if (PathKey(name) == PathKey(path)) return version;
  }
  return std::nullopt;
}

Status FakeCheckQueries::CreateEmptyFile(std::u16string_view path) {
  if (!disk_.FolderExists(ParentOf(path))) return win32_error::kPathNotFound;
  const FakeDisk::File* file = disk_.FindFile(path);
  if (denyCreate_ || disk_.FolderExists(path) || (file != nullptr && file->readOnly)) {
    return win32_error::kAccessDenied;
  }
  disk_.AddFile(path);  // replaced, under the name now given
  return win32_error::kSuccess;
}

bool FakeCheckQueries::IsProgramRunning(std::u16string_view imageName) {
  for (const std::u16string& running : runningPrograms) {
    if (Upper(running) == Upper(imageName)) return true;
  }
  return false;
}

MutexProbe FakeCheckQueries::ProbeMutex(std::u16string_view name) {
  return mutex ? *mutex : objects_.Probe(name);
}

HResult FakeScheduledTasks::ReadTask(std::u16string_view path, TaskInfo* task) {
  reads.emplace_back(path);
  if (failure != 0) return failure;
  const auto found = tasks_.find(Key(path));
  if (found == tasks_.end()) return task_result::kNotFound;
  *task = found->second;
  return 0;
}

std::u16string FakeScheduledTasks::Key(std::u16string_view path) {
  // A name in the root folder is also "\Name".
  if (!path.empty() && path.front() == u'\\') path.remove_prefix(1);
  return Upper(path);
}

PathKind FakeCollectQueries::Look(std::u16string_view path) {
  if (!unexaminable.empty() && FolderKey(path) == FolderKey(unexaminable)) {
    return PathKind::kUnknown;
  }
  if (disk_.FindFile(path) != nullptr) return PathKind::kFile;
  if (!disk_.FolderExists(path)) return PathKind::kMissing;
  return disk_.Inside(path).empty() ? PathKind::kEmptyFolder : PathKind::kFolderWithEntries;
}

Status FakeCollectQueries::CreateFolders(std::u16string_view path) {
  if (createFailure != 0) return createFailure;
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

Status FakeCollectQueries::WriteNewFile(std::u16string_view path, std::string_view bytes) {
  if (!disk_.FolderExists(ParentOf(path))) return win32_error::kPathNotFound;
  if (disk_.FindFile(path) != nullptr || disk_.FolderExists(path)) return 80;  // ERROR_FILE_EXISTS
  if (!failingName.empty() && path.size() >= failingName.size() &&
      path.substr(path.size() - failingName.size()) == failingName) {
    return writeFailure;
  }
  disk_.AddFile(path, bytes);
  return win32_error::kSuccess;
}

Status FakeCollectQueries::ReadUserKey(std::u16string_view key, RegistryKeyRead* read) {
  if (beforeRead) beforeRead(key);
  std::vector<std::pair<std::u16string, RegValue>> values;
  RegistryKeyRead listed;
  const Status status = registry_.List(u"HKCU\\" + std::u16string(key), &listed.subkeys, &values);
  if (status != 0) return status;
  for (auto& [name, value] : values) {
    listed.values.push_back({name, value.type, std::move(value.data)});
  }
  *read = std::move(listed);
  return win32_error::kSuccess;
}

}  // namespace lss::test
