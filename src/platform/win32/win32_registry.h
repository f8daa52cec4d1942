#pragma once
// The registry calls, passed straight to advapi32. Listing a key is the
// check tool's alone (win32_check_registry.h).
#include "platform/registry.h"

namespace lss {

class Win32Registry : public Registry {
 public:
  Win32Registry() = default;

  Status OpenKey(RegKey parent, std::u16string_view subkey, std::uint32_t access,
                 RegKey* key) override;
  Status CreateKey(RegKey parent, std::u16string_view subkey, std::uint32_t access,
                   RegKey* key) override;
  Status QueryValue(RegKey key, std::u16string_view name, std::uint32_t* type,
                    std::uint8_t* data, std::uint32_t* size) override;
  Status SetValue(RegKey key, std::u16string_view name, std::uint32_t type,
                  const std::uint8_t* data, std::uint32_t size) override;
  Status CloseKey(RegKey key) override;
};

}  // namespace lss
