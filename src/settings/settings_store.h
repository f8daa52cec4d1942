#pragma once
// Per-user named values under HKEY_CURRENT_USER\Software\<vendor>\<product>.
// Every access walks and creates the key chain afresh and caches nothing, so
// a read always sees what the add-in has just written. A read-only store only
// opens keys: it never creates one, and its writes fail.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/environment.h"
#include "platform/registry.h"
#include "settings/unique_key.h"

namespace lss {

class SettingsStore {
 public:
  enum class Access { kReadWrite, kReadOnly };

  explicit SettingsStore(std::u16string_view appName, Access access = Access::kReadWrite)
      : appName_(appName), access_(access) {}
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
  // What ReadSettingString reads, with the type the registry reported;
  // nothing when missing or unreadable. The same registry calls.
  struct Text {
    std::uint32_t type = 0;
    std::u16string text;
  };
  std::optional<Text> ReadSettingText(std::u16string_view section, std::u16string_view name);
  // ReadSettingString's text (empty by default), with the environment's
  // variables replaced when the value is REG_EXPAND_SZ; any other type as it
  // stands, a % included, as Windows programs read REG_SZ.
  std::u16string ReadSettingExpandable(std::u16string_view section, std::u16string_view name,
                                       Environment& environment);
  // Stores REG_SZ: the text up to its first NUL, and one NUL.
  bool WriteSettingString(std::u16string_view section, std::u16string_view name,
                          std::u16string_view value);
  // The stored value's registry type; nothing when it is missing or unreadable.
  std::optional<std::uint32_t> ReadSettingType(std::u16string_view section,
                                               std::u16string_view name);

  UniqueKey OpenProductKey();
  UniqueKey OpenSectionKey(std::u16string_view section);

 private:
  Registry* registry_ = nullptr;
  std::u16string appName_;
  Access access_;
  std::u16string vendorKey_;
  std::u16string productKey_;
};

// The data of value `name` of the open `key` as UTF-16 up to its first NUL,
// whatever its type, with the type the registry reported; nothing when
// missing or unreadable. How the store reads its texts.
std::optional<SettingsStore::Text> ReadRegistryText(Registry& registry, RegKey key,
                                                    std::u16string_view name);

}  // namespace lss
