#include "platform/win32/win32_process.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include "platform/win32/local_memory.h"
#include "platform/win32/wide_text.h"

namespace lss {

std::vector<std::u16string> Win32Process::Arguments() {
  int count = 0;
  LocalMemory<LPWSTR> argv(::CommandLineToArgvW(::GetCommandLineW(), &count));
  std::vector<std::u16string> arguments;
  if (!argv) return arguments;
  arguments.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) arguments.push_back(FromWide(argv.get()[i]));
  return arguments;
}

HResult Win32Process::ComInitialize() { return ::CoInitialize(nullptr); }

void Win32Process::ComUninitialize() { ::CoUninitialize(); }

}  // namespace lss
