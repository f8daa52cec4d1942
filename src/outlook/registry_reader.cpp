#include "outlook/registry_reader.h"

#include <algorithm>
#include <array>

#include "settings/registry_text.h"

namespace lss {

void CRegistry::Attach(RegKey key) {
  Close();
  if (key != kNoKey) {
    key_.reset(key);
    lastResult_ = 0;
  }
}

bool CRegistry::Close() {
  if (!key_) {
    return true;
  }
  // Closed here rather than by the owner, which has no result to give.
  lastResult_ = registry_.CloseKey(key_.release());
  return lastResult_ == 0;
}

bool CRegistry::ReadStringValue(std::u16string_view valueName, std::u16string& text) {
  if (!key_) {
    return false;
  }
  std::array<std::uint8_t, std::size_t{kMaxValueChars} * 2> buffer{};
  std::uint32_t type = reg::kSz;
  std::uint32_t size = static_cast<std::uint32_t>(buffer.size());
  lastResult_ = registry_.QueryValue(key_.get(), valueName, &type, buffer.data(), &size);
  lastType_ = type;
  // Only what was returned counts; data without a NUL ends at its size.
  text = lastResult_ == 0
             ? DecodeRegistryText(buffer.data(), std::min<std::size_t>(size, buffer.size()) / 2)
             : std::u16string();
  return lastResult_ == 0 && type == reg::kSz;
}

}  // namespace lss
