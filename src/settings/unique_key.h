#pragma once
// Owns one open registry key and closes it when it goes.
#include <utility>

#include "platform/registry.h"

namespace lss {

class UniqueKey {
 public:
  UniqueKey() = default;
  explicit UniqueKey(Registry& registry, RegKey key = kNoKey) : registry_(&registry), key_(key) {}
  UniqueKey(UniqueKey&& other) noexcept
      : registry_(other.registry_), key_(std::exchange(other.key_, kNoKey)) {}
  UniqueKey& operator=(UniqueKey&& other) noexcept {
    if (this != &other) {
      reset();
      registry_ = other.registry_;
      key_ = std::exchange(other.key_, kNoKey);
    }
    return *this;
  }
  UniqueKey(const UniqueKey&) = delete;
  UniqueKey& operator=(const UniqueKey&) = delete;
  ~UniqueKey() { reset(); }

  RegKey get() const { return key_; }
  explicit operator bool() const { return key_ != kNoKey; }
  // For the out parameter of an open or create call; closes any held key first.
  RegKey* put() {
    reset();
    return &key_;
  }
  void reset() {
    if (key_ != kNoKey) {
      registry_->CloseKey(std::exchange(key_, kNoKey));
    }
  }

 private:
  Registry* registry_ = nullptr;
  RegKey key_ = kNoKey;
};

}  // namespace lss
