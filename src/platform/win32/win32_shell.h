#pragma once
// Starting a program through ShellExecuteW. shell32 is loaded on first use
// only: it is costly to load, and most starts never launch anything.
#include "platform/shell.h"
#include "platform/win32/system_library.h"

namespace lss {

class Win32Shell final : public Shell {
 public:
  Win32Shell() = default;

  std::intptr_t Execute(std::u16string_view file, std::u16string_view parameters) override;

 private:
  using ShellExecuteFunction = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);

  UniqueModule shell32_;
  ShellExecuteFunction shellExecute_ = nullptr;
};

}  // namespace lss
