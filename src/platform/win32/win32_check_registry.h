#pragma once
// The registry with listing, passed straight to advapi32. Only
// LSSchedulerCheck.exe links it, so the scheduler imports no listing call.
#include "platform/win32/win32_registry.h"

namespace lss {

class Win32CheckRegistry final : public Win32Registry {
 public:
  Win32CheckRegistry() = default;

  Status EnumKey(RegKey key, std::uint32_t index, char16_t* name, std::uint32_t* length) override;
  Status EnumValue(RegKey key, std::uint32_t index, char16_t* name, std::uint32_t* nameLength,
                   std::uint32_t* type, std::uint8_t* data, std::uint32_t* size) override;
};

}  // namespace lss
