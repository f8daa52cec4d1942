#pragma once
// Per-user named values under HKEY_CURRENT_USER\Software\<vendor>\<product>.
// Every access walks and creates the key chain afresh and caches nothing, so
// a read always sees what the add-in has just written.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/registry.h"
#include "settings/unique_key.h"

namespace lss {

class SettingsStore {
 public:
  explicit SettingsStore(std::u16string_view appName) : appName_(appName) {}
  SettingsStore(const SettingsStore&) = delete;
  SettingsStore& operator=(const SettingsStore&) = delete;

  // Roots the store at <vendor>\<application name>. Until then every read
  // gives its default and every write fails.
  void SetSettingsRoot(Registry& registry, std::u16string_view vendor);

  // The stored 32 bits of a value whose data fits in 4 bytes (fewer bytes are
  // zero-filled), whatever its type; otherwise the bits of `defaultValue`.
  std::uint32_t ReadSettingInt(std::u16string_view section, std::u16string_view name,
                               std::int32_t defaultValue);
  // Stores REG_DWORD. True on success; callers may ignore it.
  bool WriteSettingInt(std::u16string_view section, std::u16string_view name, std::int32_t value);
  // The stored data as UTF-16 up to its first NUL, whatever its type;
  // `defaultValue` when missing or unreadable.
  std::u16string ReadSettingString(std::u16string_view section, std::u16string_view name,
                                   std::u16string_view defaultValue = {});
  // Stores REG_SZ: the text up to its first NUL, and one NUL.
  bool WriteSettingString(std::u16string_view section, std::u16string_view name,
                          std::u16string_view value);

  UniqueKey OpenProductKey();
  UniqueKey OpenSectionKey(std::u16string_view section);

 private:
  Registry* registry_ = nullptr;
  std::u16string appName_;
  std::u16string vendorKey_;
  std::u16string productKey_;
};

}  // namespace lss
