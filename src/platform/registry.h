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

  // --- Listing a key: the check tool's alone ---------------------------------
  // Both go by index, 0 first, in the order the registry keeps (Windows keeps
  // subkeys ordered by name without regard to case); an index past the last
  // gives ERROR_NO_MORE_ITEMS. A key changed meanwhile may shift the indexes.
  // The scheduler's mapping never lists (it would import calls the scheduler
  // never makes) and answers ERROR_CALL_NOT_IMPLEMENTED.

  // RegEnumKeyExW: the name of the subkey at `index`. *length is the capacity
  // of `name` in characters, its terminating NUL included, on entry, and the
  // name's length without the NUL on success. ERROR_MORE_DATA when the name
  // and its NUL do not fit (key names have at most 255 characters).
  virtual Status EnumKey(RegKey /*key*/, std::uint32_t /*index*/, char16_t* /*name*/,
                         std::uint32_t* /*length*/) {
    return win32_error::kCallNotImplemented;
  }

  // RegEnumValueW: the name, type and data of the value at `index` (the
  // default value's name is empty). *nameLength as EnumKey's *length (value
  // names have at most 16383 characters). `type` may be null; `data` may be
  // null to ask for the size alone. *size is the capacity in bytes on entry
  // and the size of the stored data on return. ERROR_MORE_DATA when the name
  // or the data does not fit; *size then holds the data's size.
  virtual Status EnumValue(RegKey /*key*/, std::uint32_t /*index*/, char16_t* /*name*/,
                           std::uint32_t* /*nameLength*/, std::uint32_t* /*type*/,
                           std::uint8_t* /*data*/, std::uint32_t* /*size*/) {
    return win32_error::kCallNotImplemented;
  }
};

}  // namespace lss
