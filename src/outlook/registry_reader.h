#pragma once
// A small reader of one open registry key, which it owns and closes.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/registry.h"
#include "settings/unique_key.h"

namespace lss {

class CRegistry {
 public:
  explicit CRegistry(Registry& registry) : registry_(registry), key_(registry) {}
  CRegistry(const CRegistry&) = delete;
  CRegistry& operator=(const CRegistry&) = delete;
  virtual ~CRegistry() = default;  // the key closes with key_

  // Closes any attached key, then attaches `key` unless it is kNoKey.
  void Attach(RegKey key);
  // Closes the attached key; true when there was none or it closed cleanly.
  bool Close();
  // Reads a REG_SZ value of at most kMaxValueChars characters into `text`.
  // False when no key is attached, the value is missing, longer or of
  // another type (REG_EXPAND_SZ included); `text` is then not to be used.
  bool ReadStringValue(std::u16string_view valueName, std::u16string& text);

  // The status and the type the last read found (the type only with status 0).
  Status lastResult() const { return lastResult_; }
  std::uint32_t lastType() const { return lastType_; }

  static constexpr std::uint32_t kMaxValueChars = 1023;

 private:
  Registry& registry_;
  Status lastResult_ = 0;
  std::uint32_t lastType_ = reg::kNone;
  UniqueKey key_;
};

}  // namespace lss
