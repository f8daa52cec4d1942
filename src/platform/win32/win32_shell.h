#pragma once
// Starting a program through ShellExecuteW.
#include "platform/shell.h"

namespace lss {

class Win32Shell final : public Shell {
 public:
  Win32Shell() = default;

  std::intptr_t Execute(std::u16string_view file, std::u16string_view parameters) override;
};

}  // namespace lss
