#pragma once
// The program's key handles as HKEYs, for the registry's Win32 mappings.
#include <windows.h>

#include "platform/registry.h"

namespace lss {

// The roots are sign-extended handle values on 64-bit Windows, so 0x80000001
// zero-extended is not HKEY_CURRENT_USER; map them by name.
inline HKEY ToHkey(RegKey key) {
  if (key == kCurrentUser) return HKEY_CURRENT_USER;
  if (key == kLocalMachine) return HKEY_LOCAL_MACHINE;
  return reinterpret_cast<HKEY>(key);
}

inline RegKey FromHkey(HKEY key) { return reinterpret_cast<RegKey>(key); }

}  // namespace lss
