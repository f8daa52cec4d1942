#pragma once
// The user account of a process's token, which the check tool's queries and
// its event both name.
#include <windows.h>

#include <vector>

namespace lss {

// The TOKEN_USER of a process's token; empty when it cannot be read.
std::vector<BYTE> ProcessUser(HANDLE process);

// The SID inside a TOKEN_USER that ProcessUser gave (not empty).
inline PSID SidOf(std::vector<BYTE>& user) {
  return reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid;
}

}  // namespace lss
