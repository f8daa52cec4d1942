#pragma once
// The registry calls the program makes, with RegXxxW semantics.
#include <cstdint>
#include <string_view>

#include "platform/types.h"

namespace lss {

// An opaque key handle. The predefined roots have Win32's values; 0 is "no key".
using RegKey = std::uintptr_t;
inline constexpr RegKey kNoKey = 0;
inline constexpr RegKey kCurrentUser = 0x80000001u;
inline constexpr RegKey kLocalMachine = 0x80000002u;

namespace reg {
inline constexpr std::uint32_t kNone = 0;
inline constexpr std::uint32_t kSz = 1;
inline constexpr std::uint32_t kExpandSz = 2;
inline constexpr std::uint32_t kBinary = 3;
inline constexpr std::uint32_t kDword = 4;
inline constexpr std::uint32_t kMultiSz = 7;

inline constexpr std::uint32_t kKeyRead = 0x20019;
inline constexpr std::uint32_t kKeyWrite = 0x20006;
inline constexpr std::uint32_t kKeyReadWrite = kKeyRead | kKeyWrite;  // 0x2001F
// Added to an access: which view of HKLM\Software a 64-bit process opens,
// its own or the 32-bit programs' (WOW6432Node).
inline constexpr std::uint32_t kWow64_64Key = 0x0100;
inline constexpr std::uint32_t kWow64_32Key = 0x0200;
}  // namespace reg

class Registry {
 public:
  Registry() = default;
  Registry(const Registry&) = delete;
  Registry& operator=(const Registry&) = delete;
  virtual ~Registry() = default;

  // Opens an existing subkey of `parent` (RegOpenKeyExW, options 0); never
  // creates one. On success returns 0 and sets *key; otherwise *key is kNoKey.
  virtual Status OpenKey(RegKey parent, std::u16string_view subkey, std::uint32_t access,
                         RegKey* key) = 0;

  // Opens or creates a subkey (RegCreateKeyExW, no class, non-volatile, no
  // security attributes). A backslash path creates every missing level.
  // On failure *key is kNoKey. Names match without regard to case.
  virtual Status CreateKey(RegKey parent, std::u16string_view subkey, std::uint32_t access,
                           RegKey* key) = 0;

  // RegQueryValueExW. `type` may be null; `data` may be null to ask for the
  // size alone. *size is the capacity in bytes on entry and the size of the
  // stored data on return. ERROR_MORE_DATA when the data does not fit,
  // ERROR_FILE_NOT_FOUND when the value does not exist.
  virtual Status QueryValue(RegKey key, std::u16string_view name, std::uint32_t* type,
                            std::uint8_t* data, std::uint32_t* size) = 0;

  // RegSetValueExW: creates or replaces the value with exactly these bytes.
  virtual Status SetValue(RegKey key, std::u16string_view name, std::uint32_t type,
                          const std::uint8_t* data, std::uint32_t size) = 0;

  // RegCloseKey. Predefined roots are never closed by the program.
  virtual Status CloseKey(RegKey key) = 0;
};

}  // namespace lss
