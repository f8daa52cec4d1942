#pragma once
// The system-wide mutex the add-in owns while it synchronizes, and a lock
// that lets it go on every path.
#include <cstdint>
#include <string_view>

#include "handles/unique_any.h"
#include "platform/sync.h"

namespace lss {

// The base the framework's synchronization objects share. It adds nothing
// here; CMutex keeps it so the classes stay those the framework would have.
class CSyncObject {
 public:
  CSyncObject() = default;
  CSyncObject(const CSyncObject&) = delete;
  CSyncObject& operator=(const CSyncObject&) = delete;
  virtual ~CSyncObject() = default;
};

// Closes a mutex handle through the interface that opened it.
class SyncMutexTraits {
 public:
  using Handle = MutexHandle;

  SyncMutexTraits() = default;
  explicit SyncMutexTraits(Sync& sync) : sync_(&sync) {}

  static constexpr Handle Invalid() noexcept { return 0; }
  void Close(Handle mutex) noexcept { sync_->CloseMutex(mutex); }

 private:
  Sync* sync_ = nullptr;
};

class CMutex : public CSyncObject {
 public:
  // Creates the named mutex unowned, or opens the existing one. Throws
  // CResourceException* when no handle comes back.
  CMutex(Sync& sync, std::u16string_view name);

  Sync& sync() const { return sync_; }
  MutexHandle handle() const { return handle_.get(); }

 private:
  Sync& sync_;
  UniqueAny<SyncMutexTraits> handle_;  // closed when the mutex object goes
};

class MutexLock {
 public:
  explicit MutexLock(CMutex& mutex) : mutex_(mutex) {}
  MutexLock(const MutexLock&) = delete;
  MutexLock& operator=(const MutexLock&) = delete;
  ~MutexLock() { Unlock(); }

  // Waits up to `milliseconds`; an abandoned mutex counts as acquired.
  bool Lock(std::uint32_t milliseconds);
  // Releases the mutex when held; true when it is no longer held.
  bool Unlock();

  std::uint32_t lastWaitResult() const { return lastWaitResult_; }

 private:
  CMutex& mutex_;
  bool acquired_ = false;
  std::uint32_t lastWaitResult_ = wait_result::kTimeout;
};

}  // namespace lss
