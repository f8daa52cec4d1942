#pragma once
// Text output of a console program: its standard output and error streams.
#include <string_view>

namespace lss {

enum class OutputStream { kOutput, kError };

class Console {
 public:
  Console() = default;
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;
  virtual ~Console() = default;

  // Writes `text` (lines end in LF) to the stream: as wide text to a console
  // window, as UTF-8 with CR LF line ends to a file or pipe. Errors are dropped.
  virtual void Write(OutputStream stream, std::u16string_view text) = 0;
};

}  // namespace lss
