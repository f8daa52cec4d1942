#pragma once
// Owners for the Win32 handles the tests open; each is closed by its destructor.
#include <windows.h>

#include "handles/unique_any.h"

namespace e2e {

// A kernel object (event, process, thread); null is "none".
using UniqueHandle = lss::UniqueFunctionHandle<HANDLE, &::CloseHandle>;
// A file or a snapshot, whose "none" is INVALID_HANDLE_VALUE.
using UniqueFile = lss::UniqueAny<lss::AddressTraits<HANDLE, &::CloseHandle, -1>>;
using UniqueKey = lss::UniqueFunctionHandle<HKEY, &::RegCloseKey>;

}  // namespace e2e
