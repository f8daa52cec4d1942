#include "platform/win32/win32_console.h"

#include <windows.h>

#include <string>

#include "diag/text_encoding.h"
#include "platform/win32/wide_text.h"

namespace lss {

void Win32Console::Write(OutputStream stream, std::u16string_view text) {
  const HANDLE out =
      ::GetStdHandle(stream == OutputStream::kError ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  if (out == nullptr || out == INVALID_HANDLE_VALUE || text.empty()) return;

  // A console window takes the text as it is, whatever its code page.
  DWORD mode = 0;
  if (::GetConsoleMode(out, &mode)) {
    std::wstring wide;
    wide.reserve(text.size() + text.size() / 16);
    for (const char16_t unit : text) {
      if (unit == u'\n') wide.push_back(L'\r');
      wide.push_back(static_cast<wchar_t>(unit));
    }
    DWORD written = 0;
    ::WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    return;
  }
  // Files and pipes get UTF-8, as the support bundle's files do.
  const std::string bytes = Utf8WithCrLf(text);
  DWORD written = 0;
  ::WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace lss
