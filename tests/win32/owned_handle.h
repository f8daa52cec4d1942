#pragma once
// Kernel handles the tests open themselves.
#include <windows.h>

#include "handles/unique_any.h"

namespace win32_test {

using OwnedHandle = lss::UniqueFunctionHandle<HANDLE, &::CloseHandle>;
// A module loaded with LoadLibraryExW, as code or as data.
using OwnedModule = lss::UniqueFunctionHandle<HMODULE, &::FreeLibrary>;

// CreateFileW reports failure as INVALID_HANDLE_VALUE; the owner's "none" is null.
inline OwnedHandle OwnFile(HANDLE file) {
  return OwnedHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

}  // namespace win32_test
