#pragma once
// Message texts from the system's message table.
#include "platform/system_messages.h"

namespace lss {

class Win32SystemMessages final : public SystemMessages {
 public:
  Win32SystemMessages() = default;

  std::optional<std::u16string> Lookup(std::uint32_t flags, std::uint32_t code,
                                       std::uint32_t language) override;
};

}  // namespace lss
