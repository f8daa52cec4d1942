#include "platform/win32/win32_shell.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "platform/win32/wide_text.h"

namespace lss {

std::intptr_t Win32Shell::Execute(std::u16string_view file, std::u16string_view parameters) {
  const std::wstring program = ToWide(file);
  const std::wstring arguments = ToWide(parameters);
  const HINSTANCE result = ::ShellExecuteW(nullptr, nullptr, program.c_str(), arguments.c_str(),
                                           nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<std::intptr_t>(result);
}

}  // namespace lss
