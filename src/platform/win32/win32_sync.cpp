#include "platform/win32/win32_sync.h"

#include <windows.h>

#include <string>

#include "platform/win32/wide_text.h"

namespace lss {
namespace {

HANDLE ToHandle(MutexHandle mutex) { return reinterpret_cast<HANDLE>(mutex); }

}  // namespace

MutexHandle Win32Sync::OpenNamedMutex(std::u16string_view name) {
  const std::wstring mutexName = ToWide(name);
  return reinterpret_cast<MutexHandle>(::CreateMutexW(nullptr, FALSE, mutexName.c_str()));
}

std::uint32_t Win32Sync::WaitForMutex(MutexHandle mutex, std::uint32_t milliseconds) {
  return ::WaitForSingleObject(ToHandle(mutex), milliseconds);
}

bool Win32Sync::ReleaseHeldMutex(MutexHandle mutex) {
  return ::ReleaseMutex(ToHandle(mutex)) != FALSE;
}

void Win32Sync::CloseMutex(MutexHandle mutex) { ::CloseHandle(ToHandle(mutex)); }

}  // namespace lss
