#pragma once
// The system's message table.
#include <cstdint>
#include <optional>
#include <string>

namespace lss {

namespace format_message {
inline constexpr std::uint32_t kAllocateBuffer = 0x0100;
inline constexpr std::uint32_t kIgnoreInserts = 0x0200;
inline constexpr std::uint32_t kFromSystem = 0x1000;
}  // namespace format_message

class SystemMessages {
 public:
  SystemMessages() = default;
  SystemMessages(const SystemMessages&) = delete;
  SystemMessages& operator=(const SystemMessages&) = delete;
  virtual ~SystemMessages() = default;

  // FormatMessageW(flags, NULL, code, language, ...): the text exactly as the
  // system gives it (trailing line break included), or nothing when there is
  // no message for the code.
  virtual std::optional<std::u16string> Lookup(std::uint32_t flags, std::uint32_t code,
                                               std::uint32_t language) = 0;
};

}  // namespace lss
