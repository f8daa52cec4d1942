#include "platform/win32/win32_check_registry.h"

#include <windows.h>

#include "platform/win32/win32_registry_key.h"

namespace lss {

Status Win32CheckRegistry::EnumKey(RegKey key, std::uint32_t index, char16_t* name,
                                   std::uint32_t* length) {
  DWORD capacity = *length;
  const LSTATUS status = ::RegEnumKeyExW(ToHkey(key), index, reinterpret_cast<wchar_t*>(name),
                                         &capacity, nullptr, nullptr, nullptr, nullptr);
  if (status == ERROR_SUCCESS) *length = capacity;
  return status;
}

Status Win32CheckRegistry::EnumValue(RegKey key, std::uint32_t index, char16_t* name,
                                     std::uint32_t* nameLength, std::uint32_t* type,
                                     std::uint8_t* data, std::uint32_t* size) {
  // Seeded from the caller so what the call leaves alone stays as it was.
  DWORD capacity = *nameLength;
  DWORD valueType = type != nullptr ? *type : 0;
  DWORD valueSize = size != nullptr ? *size : 0;
  const LSTATUS status = ::RegEnumValueW(ToHkey(key), index, reinterpret_cast<wchar_t*>(name),
                                         &capacity, nullptr, type != nullptr ? &valueType : nullptr,
                                         data, size != nullptr ? &valueSize : nullptr);
  if (status == ERROR_SUCCESS) *nameLength = capacity;
  if (type != nullptr) *type = valueType;
  if (size != nullptr) *size = valueSize;
  return status;
}

}  // namespace lss
