#include "platform/win32/win32_file.h"

namespace lss {
namespace {

// One byte far beyond any real data, locked by every writer around its write.
// Append access alone is one atomic step on NTFS, but Wine finds the end of
// the file and writes in two, so concurrent appenders could overwrite each
// other there.
constexpr ULONGLONG kAppendLockOffset = 0x7FFFFFFFFFFFFFFEull;

class AppendLock {
 public:
  explicit AppendLock(HANDLE file) : file_(file), region_(Region()) {
    locked_ = ::LockFileEx(file_, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &region_) != FALSE;
  }
  AppendLock(const AppendLock&) = delete;
  AppendLock& operator=(const AppendLock&) = delete;
  ~AppendLock() {
    if (locked_) ::UnlockFileEx(file_, 0, 1, 0, &region_);
  }

 private:
  static OVERLAPPED Region() {
    OVERLAPPED region{};
    region.Offset = static_cast<DWORD>(kAppendLockOffset);
    region.OffsetHigh = static_cast<DWORD>(kAppendLockOffset >> 32);
    return region;
  }

  HANDLE file_;
  OVERLAPPED region_;
  bool locked_ = false;
};

}  // namespace

bool Win32File::SeekToEnd() {
  LARGE_INTEGER distance;
  distance.QuadPart = 0;
  return ::SetFilePointerEx(handle_.get(), distance, nullptr, FILE_END) != FALSE;
}

bool Win32File::Append(const std::uint8_t* data, std::size_t size) {
  if (size > MAXDWORD) return false;  // one WriteFile cannot take it
  const DWORD count = static_cast<DWORD>(size);
  // Without the lock (a file system that has none) the write still goes out.
  const AppendLock lock(handle_.get());
  DWORD written = 0;
  return ::WriteFile(handle_.get(), data, count, &written, nullptr) != FALSE && written == count;
}

}  // namespace lss
