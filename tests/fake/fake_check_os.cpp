#include "fake/fake_check_os.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "fake/fake_paths.h"

namespace lss::test {

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

}  // namespace lss::test
