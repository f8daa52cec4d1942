#pragma once
// Owners of the Win32 handles that the program, the stand-ins and the tests
// open: one alias per kind, each closed by its destructor.
#include <windows.h>

#include "handles/unique_any.h"

namespace lss {

// A kernel object (mutex, event, process, thread); null is "none".
using UniqueHandle = UniqueFunctionHandle<HANDLE, &::CloseHandle>;
// A file opened with CreateFileW, which reports failure as INVALID_HANDLE_VALUE.
using UniqueFile = UniqueAny<AddressTraits<HANDLE, &::CloseHandle, -1>>;
// A process snapshot (CreateToolhelp32Snapshot) fails the same way.
using UniqueSnapshot = UniqueFile;
// A search begun by FindFirstFileW; INVALID_HANDLE_VALUE is "none".
using UniqueFind = UniqueAny<AddressTraits<HANDLE, &::FindClose, -1>>;
// A registry key opened through the Win32 API itself.
using UniqueHkey = UniqueFunctionHandle<HKEY, &::RegCloseKey>;
// A DLL loaded at run time.
using UniqueModule = UniqueFunctionHandle<HMODULE, &::FreeLibrary>;
// Memory the system allocated with LocalAlloc on the caller's behalf.
template <typename T>
using LocalMemory = UniqueFunctionHandle<T*, &::LocalFree>;

template <typename Interface>
void ReleaseInterface(Interface* object) noexcept {
  object->Release();
}

// One reference to a COM object; null is "none".
template <typename Interface>
using ComOwner = UniqueFunctionHandle<Interface*, &ReleaseInterface<Interface>>;

}  // namespace lss
