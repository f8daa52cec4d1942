#pragma once
// Standard output and error of a console program.
#include "platform/console.h"

namespace lss {

class Win32Console final : public Console {
 public:
  Win32Console() = default;

  void Write(OutputStream stream, std::u16string_view text) override;
};

}  // namespace lss
