#pragma once
// DLLs loaded at run time, from the system directory only.
#include <windows.h>

#include "handles/win32_handles.h"
#include "platform/types.h"

namespace lss {

// Loads `fileName` (e.g. L"mapi32.dll") from the system directory, never from
// the current or the program's folder, so no planted copy is picked up. Null
// on failure, with *error set to the HRESULT of the Win32 error.
UniqueModule LoadSystemLibrary(const wchar_t* fileName, HResult* error);

// The HRESULT of GetLastError(), E_FAIL when it holds none.
HResult LastErrorResult();

template <typename Function>
Function ResolveFunction(HMODULE module, const char* name) {
  // Through the generic function pointer type, which converts to any other.
  using Generic = void (*)();
  return reinterpret_cast<Function>(reinterpret_cast<Generic>(::GetProcAddress(module, name)));
}

}  // namespace lss
