#include "fake/fake_system_messages.h"

#include <new>

namespace lss::test {

std::optional<std::u16string> FakeSystemMessages::Lookup(std::uint32_t flags, std::uint32_t code,
                                                         std::uint32_t language) {
  lookups_.push_back({flags, code, language});
  if (outOfMemory_) throw std::bad_alloc();
  const auto found = texts_.find(code);
  if (found == texts_.end()) return std::nullopt;
  return found->second;
}

}  // namespace lss::test
