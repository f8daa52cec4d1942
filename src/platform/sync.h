#pragma once
// Named system-wide mutexes.
#include <cstdint>
#include <string_view>

namespace lss {

using MutexHandle = std::uintptr_t;  // 0 is "no handle"

namespace wait_result {
inline constexpr std::uint32_t kObject0 = 0;
inline constexpr std::uint32_t kAbandoned = 0x80;
inline constexpr std::uint32_t kTimeout = 0x102;
inline constexpr std::uint32_t kFailed = 0xFFFFFFFF;
}  // namespace wait_result

inline constexpr std::uint32_t kInfinite = 0xFFFFFFFF;

class Sync {
 public:
  Sync() = default;
  Sync(const Sync&) = delete;
  Sync& operator=(const Sync&) = delete;
  virtual ~Sync() = default;

  // CreateMutexW(NULL, FALSE, name): creates the mutex unowned, or opens the
  // one that exists. 0 on failure (e.g. the name belongs to another object).
  virtual MutexHandle OpenNamedMutex(std::u16string_view name) = 0;
  // WaitForSingleObject: one of the wait_result values.
  virtual std::uint32_t WaitForMutex(MutexHandle mutex, std::uint32_t milliseconds) = 0;
  // ReleaseMutex: true on success.
  virtual bool ReleaseHeldMutex(MutexHandle mutex) = 0;
  // CloseHandle.
  virtual void CloseMutex(MutexHandle mutex) = 0;
};

}  // namespace lss
