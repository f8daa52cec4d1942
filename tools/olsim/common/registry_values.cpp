#include "common/registry_values.h"

#include "handles/win32_handles.h"

namespace olsim {
namespace {

lss::UniqueHkey OpenForReading(HKEY root, const wchar_t* path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return lss::UniqueHkey();
  return lss::UniqueHkey(key);
}

}  // namespace

std::optional<DWORD> ReadDword(HKEY root, const wchar_t* path, const wchar_t* name) {
  const lss::UniqueHkey key = OpenForReading(root, path);
  if (!key) return std::nullopt;
  DWORD type = 0;
  DWORD value = 0;
  DWORD size = sizeof value;
  if (RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
          ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof value) {
    return std::nullopt;
  }
  return value;
}

std::optional<std::wstring> ReadString(HKEY root, const wchar_t* path, const wchar_t* name) {
  const lss::UniqueHkey key = OpenForReading(root, path);
  if (!key) return std::nullopt;
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(key.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return std::nullopt;
  }
  std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
  size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  if (RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                       &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  // The stored data may or may not carry its terminating NUL.
  text.resize(size / sizeof(wchar_t));
  while (!text.empty() && text.back() == L'\0') text.pop_back();
  return text;
}

bool WriteDword(HKEY root, const wchar_t* path, const wchar_t* name, DWORD value) {
  HKEY raw = nullptr;
  if (RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  const lss::UniqueHkey key(raw);
  return RegSetValueExW(key.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                        sizeof value) == ERROR_SUCCESS;
}

}  // namespace olsim
