#pragma once
// Named mutexes through the kernel's mutex objects.
#include "platform/sync.h"

namespace lss {

class Win32Sync final : public Sync {
 public:
  Win32Sync() = default;

  MutexHandle OpenNamedMutex(std::u16string_view name) override;
  std::uint32_t WaitForMutex(MutexHandle mutex, std::uint32_t milliseconds) override;
  bool ReleaseHeldMutex(MutexHandle mutex) override;
  void CloseMutex(MutexHandle mutex) override;
};

}  // namespace lss
