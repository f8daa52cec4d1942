#pragma once
// Owns one open registry key and closes it through the interface that opened it.
#include "handles/unique_any.h"
#include "platform/registry.h"

namespace lss {

class RegistryKeyTraits {
 public:
  using Handle = RegKey;

  RegistryKeyTraits() = default;
  // Implicit, so that `UniqueKey key(registry);` reads as "a key of this registry".
  RegistryKeyTraits(Registry& registry) : registry_(&registry) {}  // NOLINT(google-explicit-constructor)

  static constexpr Handle Invalid() noexcept { return kNoKey; }
  void Close(Handle key) noexcept { registry_->CloseKey(key); }

 private:
  Registry* registry_ = nullptr;
};

using UniqueKey = UniqueAny<RegistryKeyTraits>;

}  // namespace lss
