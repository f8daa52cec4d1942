#pragma once
// A registry key read whole, through Registry's listing: its subkeys' names
// and all its values.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"
#include "platform/types.h"

namespace lss {

struct ListedValue {
  std::u16string name;  // empty for the key's default value
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;  // exactly as stored
};

struct KeyListing {
  std::vector<std::u16string> subkeys;  // names, in the registry's order
  std::vector<ListedValue> values;      // in the registry's order
};

// Opens `parent`\`subkey` with `access` (reg::kKeyRead, and a view when it
// matters), lists it whole and closes it again. 0 with *listing filled;
// ERROR_FILE_NOT_FOUND when the key does not exist; any other Win32 error
// when it cannot be opened or listed (*listing is then left alone).
Status ListKey(Registry& registry, RegKey parent, std::u16string_view subkey, std::uint32_t access,
               KeyListing* listing);

}  // namespace lss
