#include "platform/win32/win32_process.h"

#include <windows.h>
#include <objbase.h>

#include <cstdlib>

#include "platform/win32/wide_text.h"

namespace lss {

std::vector<std::u16string> Win32Process::Arguments() {
  // The C runtime has split the command line by the standard rules already;
  // asking shell32 to do it again would load that large DLL on every start.
  std::vector<std::u16string> arguments;
  if (__wargv == nullptr) return arguments;
  arguments.reserve(static_cast<std::size_t>(__argc));
  for (int i = 0; i < __argc; ++i) arguments.push_back(FromWide(__wargv[i]));
  return arguments;
}

HResult Win32Process::ComInitialize() { return ::CoInitialize(nullptr); }

void Win32Process::ComUninitialize() { ::CoUninitialize(); }

}  // namespace lss
