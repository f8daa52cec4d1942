#pragma once
// The process's command line and COM on its thread.
#include "platform/process.h"

namespace lss {

class Win32Process final : public Process {
 public:
  Win32Process() = default;

  std::vector<std::u16string> Arguments() override;
  HResult ComInitialize() override;
  void ComUninitialize() override;
};

}  // namespace lss
