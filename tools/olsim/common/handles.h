#pragma once
// Owners for the Win32 handles olsim uses; each is closed by its destructor.
#include <windows.h>

#include "handles/unique_any.h"

namespace olsim {

// A kernel object handle (event, mutex); null is "none".
using UniqueHandle = lss::UniqueFunctionHandle<HANDLE, &::CloseHandle>;
// A file from CreateFileW, where INVALID_HANDLE_VALUE is "none".
using UniqueFile = lss::UniqueAny<lss::AddressTraits<HANDLE, &::CloseHandle, -1>>;
using UniqueKey = lss::UniqueFunctionHandle<HKEY, &::RegCloseKey>;
// Memory the system allocated with LocalAlloc, e.g. CommandLineToArgvW's vector.
template <typename T>
using UniqueLocal = lss::UniqueFunctionHandle<T*, &::LocalFree>;

}  // namespace olsim
