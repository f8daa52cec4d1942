#pragma once
// Starting another program through the shell.
#include <cstdint>
#include <string_view>

namespace lss {

class Shell {
 public:
  Shell() = default;
  Shell(const Shell&) = delete;
  Shell& operator=(const Shell&) = delete;
  virtual ~Shell() = default;

  // ShellExecuteW(NULL, NULL, file, parameters, NULL, SW_SHOWNORMAL).
  // `parameters` is passed as a (possibly empty) string, never null.
  // Above 32 means started; 32 or less is the shell's error code.
  virtual std::intptr_t Execute(std::u16string_view file, std::u16string_view parameters) = 0;
};

}  // namespace lss
