#pragma once
// A message table keyed by code alone: every flags and language combination
// finds the same text. Lookups are recorded so that tests can check the
// flags and language asked for.
#include <cstdint>
#include <map>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/system_messages.h"

namespace lss::test {

class FakeSystemMessages final : public SystemMessages {
 public:
  struct LookupCall {
    std::uint32_t flags;
    std::uint32_t code;
    std::uint32_t language;
  };

  std::optional<std::u16string> Lookup(std::uint32_t flags, std::uint32_t code,
                                       std::uint32_t language) override {
    lookups_.push_back({flags, code, language});
    if (outOfMemory_) throw std::bad_alloc();
    const auto found = texts_.find(code);
    if (found == texts_.end()) return std::nullopt;
    return found->second;
  }

  void Set(std::uint32_t code, std::u16string_view text) { texts_[code] = std::u16string(text); }
  // While set, every lookup throws std::bad_alloc, as a text that cannot be
  // allocated would.
  void RunOutOfMemory(bool out) { outOfMemory_ = out; }

  const std::vector<LookupCall>& lookups() const { return lookups_; }

 private:
  std::map<std::uint32_t, std::u16string> texts_;
  std::vector<LookupCall> lookups_;
  bool outOfMemory_ = false;
};

}  // namespace lss::test
