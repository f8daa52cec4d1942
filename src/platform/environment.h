#pragma once
// The process's environment variables, as a setting's text may name them.
#include <string>
#include <string_view>

namespace lss {

class Environment {
 public:
  Environment() = default;
  Environment(const Environment&) = delete;
  Environment& operator=(const Environment&) = delete;
  virtual ~Environment() = default;

  // `text` with each %NAME% of this process's environment replaced by its
  // value (ExpandEnvironmentStringsW); a name without a variable stays as
  // written, its percent signs included. Never cut short, however long the
  // result; the text unchanged when it cannot be expanded.
  virtual std::u16string ExpandEnvironment(std::u16string_view text) = 0;
};

}  // namespace lss
