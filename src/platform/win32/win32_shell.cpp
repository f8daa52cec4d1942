#include "platform/win32/win32_shell.h"

#include <shellapi.h>

#include <string>

#include "platform/win32/wide_text.h"

namespace lss {

std::intptr_t Win32Shell::Execute(std::u16string_view file, std::u16string_view parameters) {
  if (shellExecute_ == nullptr) {
    HResult error = 0;
    shell32_ = LoadSystemLibrary(L"shell32.dll", &error);
    if (shell32_) {
      shellExecute_ = ResolveFunction<ShellExecuteFunction>(shell32_.get(), "ShellExecuteW");
    }
    if (shellExecute_ == nullptr) return SE_ERR_DLLNOTFOUND;
  }
  const std::wstring program = ToWide(file);
  const std::wstring arguments = ToWide(parameters);
  const HINSTANCE result =
      shellExecute_(nullptr, nullptr, program.c_str(), arguments.c_str(), nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<std::intptr_t>(result);
}

}  // namespace lss
