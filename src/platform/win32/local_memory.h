#pragma once
// Owner of memory the system allocated with LocalAlloc on the caller's behalf.
#include <windows.h>

#include <memory>

namespace lss {

struct LocalFreeDeleter {
  void operator()(void* memory) const { ::LocalFree(memory); }
};

template <typename T>
using LocalMemory = std::unique_ptr<T, LocalFreeDeleter>;

}  // namespace lss
