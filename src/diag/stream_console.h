#pragma once
// The console the programs write to: CR LF line ends everywhere, wide text to
// a console window whatever its code page, and to a file or pipe the same
// UTF-8 the support bundle's files hold.
#include <string_view>

#include "platform/console.h"

namespace lss {

class StreamConsole final : public Console {
 public:
  explicit StreamConsole(ConsoleStreams& streams) : streams_(streams) {}

  void Write(OutputStream stream, std::u16string_view text) override;

 private:
  ConsoleStreams& streams_;
};

}  // namespace lss
