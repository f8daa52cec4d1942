#include "outlook/named_mutex.h"

#include "diag/exceptions.h"

namespace lss {

CMutex::CMutex(Sync& sync, std::u16string_view name)
    : sync_(sync), handle_(sync.OpenNamedMutex(name), SyncMutexTraits(sync)) {
  if (!handle_) {
    // NOLINTNEXTLINE(cert-err09-cpp,cert-err61-cpp): framework exceptions travel by pointer
    throw CResourceException::Instance();
  }
}

bool MutexLock::Lock(std::uint32_t milliseconds) {
  lastWaitResult_ = mutex_.sync().WaitForMutex(mutex_.handle(), milliseconds);
  acquired_ = lastWaitResult_ == wait_result::kObject0 ||
              lastWaitResult_ == wait_result::kAbandoned;
  return acquired_;
}

bool MutexLock::Unlock() {
  if (acquired_ && mutex_.sync().ReleaseHeldMutex(mutex_.handle())) {
    acquired_ = false;
  }
  return !acquired_;
}

}  // namespace lss
