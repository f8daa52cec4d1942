#include "settings/key_listing.h"

#include <utility>

#include "settings/unique_key.h"

namespace lss {
namespace {

// Key names have at most 255 characters, value names 16383; each with its NUL.
constexpr std::uint32_t kKeyNameCapacity = 256;
constexpr std::uint32_t kValueNameCapacity = 16384;
// A value that keeps growing between the reads of its size and its data is
// given up on after this many tries.
constexpr int kMostRegrowths = 3;

}  // namespace

Status ListKey(Registry& registry, RegKey parent, std::u16string_view subkey, std::uint32_t access,
               KeyListing* listing) {
  UniqueKey key(registry);
  if (const Status status = registry.OpenKey(parent, subkey, access, key.put()); status != 0) {
    return status;
  }
  KeyListing result;
  std::u16string name(kKeyNameCapacity, u'\0');
  for (std::uint32_t index = 0;; ++index) {
    std::uint32_t length = kKeyNameCapacity;
    const Status status = registry.EnumKey(key.get(), index, name.data(), &length);
    if (status == win32_error::kNoMoreItems) break;
    if (status != 0) return status;
    result.subkeys.push_back(name.substr(0, length));
  }
  name.assign(kValueNameCapacity, u'\0');
  std::vector<std::uint8_t> data(4096);
  int regrown = 0;
  for (std::uint32_t index = 0;;) {
    std::uint32_t length = kValueNameCapacity;
    std::uint32_t type = reg::kNone;
    auto size = static_cast<std::uint32_t>(data.size());
    const Status status =
        registry.EnumValue(key.get(), index, name.data(), &length, &type, data.data(), &size);
    if (status == win32_error::kNoMoreItems) break;
    if (status == win32_error::kMoreData && size > data.size() && ++regrown <= kMostRegrowths) {
      data.resize(size);  // the same index again, with room for the data
      continue;
    }
    if (status != 0) return status;
    result.values.push_back({name.substr(0, length), type,
                             std::vector<std::uint8_t>(data.begin(), data.begin() + size)});
    ++index;
    regrown = 0;
  }
  *listing = std::move(result);
  return 0;
}

}  // namespace lss
