#include "diag/stream_console.h"

#include <string>

#include "diag/text_encoding.h"

namespace lss {

void StreamConsole::Write(OutputStream stream, std::u16string_view text) {
  if (text.empty()) return;
  if (!streams_.IsWindow(stream)) {
    streams_.WriteBytes(stream, Utf8WithCrLf(text));
    return;
  }
  std::u16string wide;
  wide.reserve(text.size() + text.size() / 16);
  for (const char16_t unit : text) {
    if (unit == u'\n') wide.push_back(u'\r');
    wide.push_back(unit);
  }
  streams_.WriteWide(stream, wide);
}

}  // namespace lss
