#pragma once
// Owners of kernel handles: closed with CloseHandle, or FindClose for a search.
#include <windows.h>

#include "handles/unique_any.h"

namespace lss {

// A kernel object (mutex, event, process); null is "none".
using UniqueHandle = UniqueFunctionHandle<HANDLE, &::CloseHandle>;
// A file opened with CreateFileW, which reports failure as INVALID_HANDLE_VALUE.
using UniqueFile = UniqueAny<AddressTraits<HANDLE, &::CloseHandle, -1>>;
// A process snapshot (CreateToolhelp32Snapshot) fails the same way.
using UniqueSnapshot = UniqueFile;
// A search begun by FindFirstFileW; INVALID_HANDLE_VALUE is "none".
using UniqueFind = UniqueAny<AddressTraits<HANDLE, &::FindClose, -1>>;

}  // namespace lss
