#include "fake/fake_named_objects.h"

namespace lss::test {

MutexHandle FakeNamedObjects::Open(std::u16string_view name, bool create, Status* error) {
  Status status = win32_error::kSuccess;
  const auto found = objects_.find(std::u16string(name));
  if (found != objects_.end() && !found->second.mutex) status = win32_error::kInvalidHandle;
  if (found == objects_.end() && !create) status = win32_error::kFileNotFound;
  if (error != nullptr) *error = status;
  if (status != win32_error::kSuccess) return 0;
  ++objects_[std::u16string(name)].handles;
  next_ += 4;
  handles_[next_] = std::u16string(name);
  return next_;
}

std::uint32_t FakeNamedObjects::Wait(MutexHandle handle) {
  const auto found = handles_.find(handle);
  if (found == handles_.end()) return wait_result::kFailed;
  Object& object = objects_.at(found->second);
  if (object.owner != 0 && object.owner != current_) return wait_result::kTimeout;
  object.owner = current_;
  ++object.count;
  if (!object.abandoned) return wait_result::kObject0;
  object.abandoned = false;
  return wait_result::kAbandoned;
}

bool FakeNamedObjects::Release(MutexHandle handle) {
  const auto found = handles_.find(handle);
  if (found == handles_.end()) return false;
  Object& object = objects_.at(found->second);
  if (object.owner != current_) return false;  // ERROR_NOT_OWNER
  if (--object.count == 0) object.owner = 0;
  return true;
}

void FakeNamedObjects::Close(MutexHandle handle) {
  const auto found = handles_.find(handle);
  if (found == handles_.end()) return;
  const auto object = objects_.find(found->second);
  // The name goes with the last handle.
  if (--object->second.handles == 0) objects_.erase(object);
  handles_.erase(found);
}

MutexProbe FakeNamedObjects::Probe(std::u16string_view name) {
  Status error = 0;
  const MutexHandle handle = Open(name, false, &error);
  if (handle == 0) {
    return {error == win32_error::kInvalidHandle ? MutexState::kOtherObject : MutexState::kMissing,
            0};
  }
  const std::uint32_t wait = Wait(handle);
  const MutexState state = wait == wait_result::kObject0     ? MutexState::kFree
                           : wait == wait_result::kAbandoned ? MutexState::kAbandoned
                                                             : MutexState::kHeld;
  if (state != MutexState::kHeld) Release(handle);
  Close(handle);
  return {state, 0};
}

void FakeNamedObjects::AddOtherObject(std::u16string_view name) {
  Object& object = objects_[std::u16string(name)];
  object.mutex = false;
  ++object.handles;
}

void FakeNamedObjects::EndThread(int thread) {
  for (auto& [name, object] : objects_) {
    if (object.owner != thread) continue;
    object.owner = 0;
    object.count = 0;
    object.abandoned = true;
  }
}

}  // namespace lss::test
