#pragma once
// The registry as the tests set it up and check it: exact types and bytes.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace e2e {

// One registry value: its type and its data, byte for byte.
struct RegValue {
  DWORD type = REG_NONE;
  std::vector<std::uint8_t> data;

  static RegValue Dword(std::uint32_t value);
  // REG_SZ with its terminating NUL: (length + 1) * 2 bytes.
  static RegValue Sz(std::wstring_view text);
  static RegValue ExpandSz(std::wstring_view text);
  static RegValue Binary(std::vector<std::uint8_t> bytes);

  friend bool operator==(const RegValue&, const RegValue&) = default;
};

// For GoogleTest's failure messages: "REG_DWORD 0x0000000f", "REG_SZ "Nightly" (16 bytes)".
void PrintTo(const RegValue& value, std::ostream* out);

// Each throws std::runtime_error when the registry refuses the call.
void SetValue(HKEY root, std::wstring_view key, std::wstring_view name, const RegValue& value);
// Null when the key or the value does not exist.
std::optional<RegValue> ReadValue(HKEY root, std::wstring_view key, std::wstring_view name);
// Deletes the key with everything below it; a missing key is fine.
void DeleteKeyTree(HKEY root, std::wstring_view key);
// Deletes one value; a missing key or value is fine.
void DeleteValue(HKEY root, std::wstring_view key, std::wstring_view name);
bool KeyExists(HKEY root, std::wstring_view key);
// The names of the key's values, in the registry's order.
std::vector<std::wstring> ValueNames(HKEY root, std::wstring_view key);
// The key with every subkey and value below it, names, types and bytes, as
// text for comparing whole trees; "(no key)" when it does not exist.
std::string DumpKeyTree(HKEY root, std::wstring_view key);

}  // namespace e2e
