#pragma once
// The process's environment variables.
#include <string>
#include <string_view>

#include "platform/environment.h"

namespace lss {

// ExpandEnvironmentStringsW into a buffer of the size it asks for.
std::u16string ExpandEnvironmentText(std::u16string_view text);

class Win32Environment final : public Environment {
 public:
  Win32Environment() = default;

  std::u16string ExpandEnvironment(std::u16string_view text) override {
    return ExpandEnvironmentText(text);
  }
};

}  // namespace lss
