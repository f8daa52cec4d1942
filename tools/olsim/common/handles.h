#pragma once
// Owners for the Win32 handles olsim uses; each is closed by its destructor.
#include <windows.h>

#include <memory>

namespace olsim {

struct HandleCloser {
  void operator()(HANDLE handle) const noexcept { CloseHandle(handle); }
};
// A kernel object handle (event, mutex, file). Never holds INVALID_HANDLE_VALUE.
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

struct KeyCloser {
  void operator()(HKEY key) const noexcept { RegCloseKey(key); }
};
using UniqueKey = std::unique_ptr<HKEY__, KeyCloser>;

struct LocalFreer {
  void operator()(void* memory) const noexcept { LocalFree(memory); }
};
// Memory the system allocated with LocalAlloc, e.g. CommandLineToArgvW's vector.
template <typename T>
using UniqueLocal = std::unique_ptr<T, LocalFreer>;

}  // namespace olsim
