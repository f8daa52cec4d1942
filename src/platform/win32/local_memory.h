#pragma once
// Owner of memory the system allocated with LocalAlloc on the caller's behalf.
#include <windows.h>

#include "handles/unique_any.h"

namespace lss {

template <typename T>
using LocalMemory = UniqueFunctionHandle<T*, &::LocalFree>;

}  // namespace lss
