// Writes how it was asked to show its window (STARTUPINFO's wShowWindow, or
// "none" without STARTF_USESHOWWINDOW) to the file named by its argument.
// The file appears complete: it is written under another name first.
#include <windows.h>

#include <string>

#include "handles/win32_handles.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  ::GetStartupInfoW(&startup);
  const std::string shown = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0
                                ? std::to_string(startup.wShowWindow)
                                : std::string("none");
  const std::wstring partial = std::wstring(argv[1]) + L".partial";
  {
    const lss::UniqueFile file(::CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr,
                                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file || !::WriteFile(file.get(), shown.data(), static_cast<DWORD>(shown.size()), &written,
                              nullptr)) {
      return 1;
    }
  }  // closed before it is renamed
  return ::MoveFileW(partial.c_str(), argv[1]) ? 0 : 1;
}
