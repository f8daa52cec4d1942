#include "platform/win32/win32_registry.h"

#include <windows.h>

#include <string>

#include "platform/win32/wide_text.h"
#include "platform/win32/win32_registry_key.h"

namespace lss {

Status Win32Registry::OpenKey(RegKey parent, std::u16string_view subkey, std::uint32_t access,
                              RegKey* key) {
  const std::wstring path = ToWide(subkey);
  HKEY opened = nullptr;
  const LSTATUS status = ::RegOpenKeyExW(ToHkey(parent), path.c_str(), 0, access, &opened);
  *key = status == ERROR_SUCCESS ? FromHkey(opened) : kNoKey;
  return status;
}

Status Win32Registry::CreateKey(RegKey parent, std::u16string_view subkey, std::uint32_t access,
                                RegKey* key) {
  const std::wstring path = ToWide(subkey);
  HKEY created = nullptr;
  const LSTATUS status = ::RegCreateKeyExW(ToHkey(parent), path.c_str(), 0, nullptr,
                                           REG_OPTION_NON_VOLATILE, access, nullptr, &created,
                                           nullptr);
  *key = status == ERROR_SUCCESS ? FromHkey(created) : kNoKey;
  return status;
}

Status Win32Registry::QueryValue(RegKey key, std::u16string_view name, std::uint32_t* type,
                                 std::uint8_t* data, std::uint32_t* size) {
  const std::wstring valueName = ToWide(name);
  // Seeded from the caller so what the call leaves alone stays as it was.
  DWORD valueType = type != nullptr ? *type : 0;
  DWORD valueSize = size != nullptr ? *size : 0;
  const LSTATUS status =
      ::RegQueryValueExW(ToHkey(key), valueName.c_str(), nullptr,
                         type != nullptr ? &valueType : nullptr, data,
                         size != nullptr ? &valueSize : nullptr);
  if (type != nullptr) *type = valueType;
  if (size != nullptr) *size = valueSize;
  return status;
}

Status Win32Registry::SetValue(RegKey key, std::u16string_view name, std::uint32_t type,
                               const std::uint8_t* data, std::uint32_t size) {
  const std::wstring valueName = ToWide(name);
  return ::RegSetValueExW(ToHkey(key), valueName.c_str(), 0, type, data, size);
}

Status Win32Registry::CloseKey(RegKey key) { return ::RegCloseKey(ToHkey(key)); }

}  // namespace lss
