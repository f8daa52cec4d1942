// Writes how it was asked to show its window (STARTUPINFO's wShowWindow, or
// "none" without STARTF_USESHOWWINDOW) to the file named by its argument.
// The file appears complete: it is written under another name first.
#include <windows.h>

#include <string>

#include "harness/scratch_files.h"

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  ::GetStartupInfoW(&startup);
  const std::string shown = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0
                                ? std::to_string(startup.wShowWindow)
                                : std::string("none");
  const std::wstring partial = std::wstring(argv[1]) + L".partial";
  e2e::WriteFileBytes(partial, shown);  // throws, ending the probe, when it cannot
  return ::MoveFileW(partial.c_str(), argv[1]) ? 0 : 1;
}
