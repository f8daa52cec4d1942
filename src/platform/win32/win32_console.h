#pragma once
// Standard output and error of a console program.
#include "platform/console.h"

namespace lss {

class Win32ConsoleStreams final : public ConsoleStreams {
 public:
  Win32ConsoleStreams() = default;

  bool IsWindow(OutputStream stream) override;
  void WriteWide(OutputStream stream, std::u16string_view text) override;
  void WriteBytes(OutputStream stream, std::string_view bytes) override;
};

}  // namespace lss
