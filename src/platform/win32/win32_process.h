#pragma once
// The process's command line, COM on its thread, and the user's other programs.
#include "platform/process.h"

namespace lss {

class Win32Process final : public Process {
 public:
  Win32Process() = default;

  std::vector<std::u16string> Arguments() override;
  HResult ComInitialize() override;
  void ComUninitialize() override;
  bool IsProgramRunning(std::u16string_view imageName) override;
};

}  // namespace lss
