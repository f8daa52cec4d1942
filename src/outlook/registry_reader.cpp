#include "outlook/registry_reader.h"

#include <algorithm>
#include <array>

#include "settings/registry_text.h"

namespace lss {

CRegistry::~CRegistry() { Close(); }

void CRegistry::Attach(RegKey key) {
  Close();
  if (key != kNoKey) {
    open_ = true;
    key_ = key;
    lastResult_ = 0;
  }
}

bool CRegistry::Close() {
  if (!open_) {
    return true;
  }
  lastResult_ = registry_.CloseKey(key_);
  open_ = false;
  key_ = kNoKey;
  return lastResult_ == 0;
}

bool CRegistry::ReadStringValue(std::u16string_view valueName, std::u16string& text) {
  if (!open_) {
    return false;
  }
  std::array<std::uint8_t, kMaxValueChars * 2> buffer{};
  std::uint32_t type = reg::kSz;
  std::uint32_t size = static_cast<std::uint32_t>(buffer.size());
  lastResult_ = registry_.QueryValue(key_, valueName, &type, buffer.data(), &size);
  // Only what was returned counts; data without a NUL ends at its size.
  text = lastResult_ == 0
             ? DecodeRegistryText(buffer.data(), std::min<std::size_t>(size, buffer.size()) / 2)
             : std::u16string();
  return lastResult_ == 0 && type == reg::kSz;
}

}  // namespace lss
