#pragma once
// Owners of the kernel handles the readiness queries open. Some calls report
// failure as null, others (CreateFileW, snapshots, searches) as
// INVALID_HANDLE_VALUE; each owner knows which one it gets.
#include <windows.h>

#include "handles/unique_any.h"

namespace lss {

template <auto CloseFunction>
struct InvalidValueTraits {
  using Handle = HANDLE;
  static Handle Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(Handle handle) noexcept { CloseFunction(handle); }
};

// OpenProcess, OpenProcessToken: null on failure.
using UniqueKernelHandle = UniqueFunctionHandle<HANDLE, &::CloseHandle>;
// CreateFileW, CreateToolhelp32Snapshot.
using UniqueFileHandle = UniqueAny<InvalidValueTraits<&::CloseHandle>>;
// FindFirstFileW.
using UniqueFindHandle = UniqueAny<InvalidValueTraits<&::FindClose>>;

}  // namespace lss
