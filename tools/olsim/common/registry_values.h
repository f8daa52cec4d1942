#pragma once
// Reads and writes of single registry values. A missing key or value, or one
// of another type, reads as nullopt.
#include <windows.h>

#include <optional>
#include <string>

namespace olsim {

std::optional<DWORD> ReadDword(HKEY root, const wchar_t* path, const wchar_t* name);
// REG_SZ or REG_EXPAND_SZ (not expanded).
std::optional<std::wstring> ReadString(HKEY root, const wchar_t* path, const wchar_t* name);
// Creates the key when missing. Returns false when the value was not written.
bool WriteDword(HKEY root, const wchar_t* path, const wchar_t* name, DWORD value);

}  // namespace olsim
