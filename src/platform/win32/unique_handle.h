#pragma once
// Owners of kernel handles closed with CloseHandle.
#include <windows.h>

#include "handles/unique_any.h"

namespace lss {

// A kernel object (mutex, event, process); null is "none".
using UniqueHandle = UniqueFunctionHandle<HANDLE, &::CloseHandle>;
// A file opened with CreateFileW, which reports failure as INVALID_HANDLE_VALUE.
using UniqueFile = UniqueAny<AddressTraits<HANDLE, &::CloseHandle, -1>>;

}  // namespace lss
