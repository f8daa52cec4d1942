#include "fake/fake_collect_queries.h"

#include <utility>
#include <vector>

#include "fake/fake_paths.h"

namespace lss::test {

namespace {

constexpr Status kPathNotFound = 3;
constexpr Status kFileExists = 80;
constexpr Status kAlreadyExists = 183;

}  // namespace

PathKind FakeCollectQueries::Look(std::u16string_view path) {
  if (!unexaminable.empty() && FolderKey(path) == FolderKey(unexaminable)) {
    return PathKind::kUnknown;
  }
  if (disk_.FindFile(path) != nullptr) return PathKind::kFile;
  if (!disk_.FolderExists(path)) return PathKind::kMissing;
  return disk_.HasEntries(path) ? PathKind::kFolderWithEntries : PathKind::kEmptyFolder;
}

Status FakeCollectQueries::CreateFolders(std::u16string_view path) {
  if (createFailure != 0) return createFailure;
  std::vector<std::u16string> levels;
  for (std::u16string level(path); !level.empty() && level.back() != u':';
       level = std::u16string(ParentOf(level))) {
    if (disk_.FindFile(level) != nullptr) return levels.empty() ? kAlreadyExists : kPathNotFound;
    levels.push_back(level);
  }
  for (const std::u16string& level : levels) disk_.AddFolder(level);
  return win32_error::kSuccess;
}

Status FakeCollectQueries::WriteNewFile(std::u16string_view path, std::string_view bytes) {
  ++writes;
  if (!disk_.FolderExists(ParentOf(path))) return kPathNotFound;
  if (disk_.FindFile(path) != nullptr || disk_.FolderExists(path)) return kFileExists;
  if (!failingName.empty() && path.size() >= failingName.size() &&
      path.substr(path.size() - failingName.size()) == failingName) {
    return writeFailure;
  }
  disk_.AddFile(path, bytes);
  return win32_error::kSuccess;
}

Status FakeCollectQueries::ReadUserKey(std::u16string_view key, RegistryKeyRead* read) {
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
