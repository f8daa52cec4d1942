#pragma once
// The system-wide mutex the add-in owns while it synchronizes, and a lock
// that lets it go on every path.
#include <cstdint>
#include <string_view>

#include "platform/sync.h"

namespace lss {

class CSyncObject {
 public:
  CSyncObject() = default;
  CSyncObject(const CSyncObject&) = delete;
  CSyncObject& operator=(const CSyncObject&) = delete;
  virtual ~CSyncObject() = default;
};

class CMutex : public CSyncObject {
 public:
  // Creates the named mutex unowned, or opens the existing one. Throws
  // CResourceException* when no handle comes back.
  CMutex(Sync& sync, std::u16string_view name);
  ~CMutex() override;

  Sync& sync() const { return sync_; }
  MutexHandle handle() const { return handle_; }

 private:
  Sync& sync_;
  MutexHandle handle_;
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

  bool acquired() const { return acquired_; }
  std::uint32_t lastWaitResult() const { return lastWaitResult_; }

 private:
  CMutex& mutex_;
  bool acquired_ = false;
  std::uint32_t lastWaitResult_ = wait_result::kTimeout;
};

}  // namespace lss
