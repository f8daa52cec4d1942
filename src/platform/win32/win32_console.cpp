#include "platform/win32/win32_console.h"

#include <windows.h>

#include <string>

#include "platform/win32/wide_text.h"

namespace lss {

namespace {

// The process's standard handle; null when it has none.
HANDLE StreamHandle(OutputStream stream) {
  const HANDLE out =
      ::GetStdHandle(stream == OutputStream::kError ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  return out == INVALID_HANDLE_VALUE ? nullptr : out;
}

}  // namespace

bool Win32ConsoleStreams::IsWindow(OutputStream stream) {
  const HANDLE out = StreamHandle(stream);
  DWORD mode = 0;
  return out != nullptr && ::GetConsoleMode(out, &mode) != FALSE;
}

void Win32ConsoleStreams::WriteWide(OutputStream stream, std::u16string_view text) {
  const HANDLE out = StreamHandle(stream);
  if (out == nullptr) return;
  const std::wstring wide = ToWide(text);
  DWORD written = 0;
  ::WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
}

void Win32ConsoleStreams::WriteBytes(OutputStream stream, std::string_view bytes) {
  const HANDLE out = StreamHandle(stream);
  if (out == nullptr) return;
  DWORD written = 0;
  ::WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace lss
