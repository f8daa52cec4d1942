#include "fake/fake_check_os.h"

#include <algorithm>

#include "fake/fake_environment.h"
#include "fake/fake_paths.h"

namespace lss::test {

namespace {

char16_t Fold(char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; }

std::u16string Upper(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out) c = Fold(c);
  return out;
}

}  // namespace

std::map<std::u16string, std::string>::const_iterator FakeCheckQueries::FindFile(
    std::u16string_view path) const {
  const std::u16string key = PathKey(path);
  return std::find_if(files_.begin(), files_.end(),
                      [&](const auto& file) { return PathKey(file.first) == key; });
}

bool FakeCheckQueries::IsFile(std::u16string_view path) { return FindFile(path) != files_.end(); }

bool FakeCheckQueries::IsFolder(std::u16string_view path) {
  return folders_.count(FolderKey(path)) != 0;
}

std::vector<CheckQueries::Listed> FakeCheckQueries::ListFiles(std::u16string_view folder,
                                                              std::u16string_view pattern) {
  std::vector<Listed> listed;
  const std::u16string wanted = FolderKey(folder);
  for (const auto& [path, bytes] : files_) {
    const std::size_t separator = path.find_last_of(u"\\/");
    if (separator == std::u16string::npos || FolderKey(path.substr(0, separator)) != wanted) {
      continue;
    }
    const std::u16string name = path.substr(separator + 1);
    if (MatchesWildcard(pattern, name)) listed.push_back({name, bytes.size()});
  }
  return listed;
}

std::optional<CheckQueries::Tail> FakeCheckQueries::ReadTail(std::u16string_view path,
                                                             std::size_t maxBytes) {
  largestTailAsked = std::max(largestTailAsked, maxBytes);
  const auto found = FindFile(path);
  if (found == files_.end()) return std::nullopt;
  const std::string& bytes = found->second;
  const std::size_t kept = std::min(bytes.size(), maxBytes);
  return Tail{bytes.substr(bytes.size() - kept), bytes.size()};
}

std::optional<std::string> FakeCheckQueries::ReadHead(std::u16string_view path,
                                                      std::size_t maxBytes) {
  largestHeadAsked = std::max(largestHeadAsked, maxBytes);
  const auto found = files_.find(std::u16string(path));
  if (found == files_.end()) return std::nullopt;
  return found->second.substr(0, maxBytes);
}

std::optional<std::u16string> FakeCheckQueries::FileVersion(std::u16string_view path) {
  if (!IsFile(path)) return std::nullopt;
  for (const auto& [name, version] : fileVersions) {
    if (Upper(name) == Upper(path)) return version;
  }
  return std::nullopt;
}

Status FakeCheckQueries::CreateEmptyFile(std::u16string_view path) {
  if (folders_.count(FolderKey(ParentOf(path))) == 0) return 3;  // ERROR_PATH_NOT_FOUND
  if (denyCreate_ || folders_.count(FolderKey(path)) != 0 || readOnly_.count(PathKey(path)) != 0) {
    return win32_error::kAccessDenied;
  }
  const auto found = FindFile(path);
  if (found != files_.end()) files_.erase(found);  // replaced, under the name now given
  files_[std::u16string(path)].clear();
  return win32_error::kSuccess;
}

Status FakeCheckQueries::RemoveFile(std::u16string_view path) {
  const auto found = FindFile(path);
  if (found == files_.end()) {
    if (folders_.count(FolderKey(path)) != 0) return win32_error::kAccessDenied;  // a folder
    const std::u16string parent = FolderKey(ParentOf(path));
    const bool parentKnown =
        folders_.count(parent) != 0 || std::any_of(files_.begin(), files_.end(), [&](auto& file) {
          return FolderKey(ParentOf(file.first)) == parent;
        });
    if (!parentKnown) return 3;  // ERROR_PATH_NOT_FOUND
    return win32_error::kFileNotFound;
  }
  if (denyDelete_ || readOnly_.count(PathKey(path)) != 0) return win32_error::kAccessDenied;
  files_.erase(found);
  return win32_error::kSuccess;
}

Status FakeCheckQueries::CreateFolder(std::u16string_view path) {
  if (IsFile(path) || IsFolder(path)) return win32_error::kAlreadyExists;
  if (!IsFolder(ParentOf(FolderKey(path)))) return win32_error::kPathNotFound;
  if (denyCreate_) return win32_error::kAccessDenied;
  folders_.insert(FolderKey(path));
  return win32_error::kSuccess;
}

Status FakeCheckQueries::RemoveFolder(std::u16string_view path) {
  if (!IsFolder(path)) return win32_error::kFileNotFound;
  if (denyDelete_) return win32_error::kAccessDenied;
  folders_.erase(FolderKey(path));
  return win32_error::kSuccess;
}

std::u16string FakeCheckQueries::ExpandEnvironment(std::u16string_view text) {
  return ExpandVariables(environment, text);
}

std::vector<std::u16string> FakeCheckQueries::SplitArguments(std::u16string_view arguments) {
  // Blanks separate, double quotes group; enough for the tests' task actions.
  std::vector<std::u16string> split;
  std::u16string current;
  bool inArgument = false;
  bool quoted = false;
  for (const char16_t c : arguments) {
    if (c == u'"') {
      quoted = !quoted;
      inArgument = true;
    } else if ((c == u' ' || c == u'\t') && !quoted) {
      if (inArgument) split.push_back(current);
      current.clear();
      inArgument = false;
    } else {
      current.push_back(c);
      inArgument = true;
    }
  }
  if (inArgument) split.push_back(current);
  return split;
}

bool FakeCheckQueries::IsProgramRunning(std::u16string_view imageName) {
  for (const std::u16string& running : runningPrograms) {
    if (Upper(running) == Upper(imageName)) return true;
  }
  return false;
}

MutexProbe FakeCheckQueries::ProbeMutex(std::u16string_view name) {
  probedMutexes.emplace_back(name);
  return objects != nullptr ? objects->Probe(name) : mutex;
}

std::optional<std::u16string> FakeCheckQueries::ReadMachineText(RegistryView view,
                                                                std::u16string_view key,
                                                                std::u16string_view name) {
  const auto found = machine_.find({view, Upper(key), Upper(name)});
  if (found == machine_.end()) return std::nullopt;
  return found->second;
}

void FakeCheckQueries::AddFolder(std::u16string_view path) { folders_.insert(FolderKey(path)); }

void FakeCheckQueries::AddFile(std::u16string_view path, std::string_view bytes, bool readOnly) {
  files_[std::u16string(path)] = std::string(bytes);
  if (readOnly) readOnly_.insert(PathKey(path));
}

std::optional<std::string> FakeCheckQueries::Contents(std::u16string_view path) const {
  const auto found = FindFile(path);
  if (found == files_.end()) return std::nullopt;
  return found->second;
}

bool FakeCheckQueries::HasEntries(std::u16string_view folder) const {
  const std::u16string wanted = FolderKey(folder);
  for (const auto& [path, bytes] : files_) {
    if (FolderKey(ParentOf(path)) == wanted) return true;
  }
  for (const std::u16string& known : folders_) {
    if (known != wanted && FolderKey(ParentOf(known)) == wanted) return true;
  }
  return false;
}

void FakeCheckQueries::SetMachineText(RegistryView view, std::u16string_view key,
                                      std::u16string_view name, std::u16string_view text) {
  machine_[{view, Upper(key), Upper(name)}] = std::u16string(text);
}

void FakeCheckQueries::DeleteMachineText(RegistryView view, std::u16string_view key,
                                         std::u16string_view name) {
  machine_.erase({view, Upper(key), Upper(name)});
}

HResult FakeScheduledTasks::ReadTask(std::u16string_view path, TaskInfo* task) {
  reads.emplace_back(path);
  if (failure != 0) return failure;
  const auto found = tasks_.find(Key(path));
  if (found == tasks_.end()) return task_result::kNotFound;
  *task = found->second;
  return 0;
}

void FakeScheduledTasks::Add(std::u16string_view path, TaskInfo task) {
  tasks_[Key(path)] = std::move(task);
}

std::u16string FakeScheduledTasks::Key(std::u16string_view path) {
  // A name in the root folder is also "\Name".
  if (!path.empty() && path.front() == u'\\') path.remove_prefix(1);
  return Upper(path);
}

Status FakeEventLog::Report(std::u16string_view source, EventType type, std::uint32_t eventId,
                            const std::vector<std::u16string>& strings) {
  if (result == 0) events.push_back({std::u16string(source), type, eventId, strings});
  return result;
}

}  // namespace lss::test
