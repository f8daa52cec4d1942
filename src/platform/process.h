#pragma once
// What the program learns about its own process and the user's other
// programs, and COM on its thread.
#include <string>
#include <string_view>
#include <vector>

#include "platform/types.h"

namespace lss {

class Process {
 public:
  Process() = default;
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  virtual ~Process() = default;

  // The argument vector split from the command line by the platform's
  // standard rules; element 0 is the program's own path.
  virtual std::vector<std::u16string> Arguments() = 0;

  // CoInitialize(NULL): the thread enters a single-threaded apartment.
  virtual HResult ComInitialize() = 0;
  // CoUninitialize, once for every ComInitialize call made.
  virtual void ComUninitialize() = 0;

  // True when a process other than this one, running under this process's
  // user account, was started from a program file named `imageName` (a file
  // name without folder, compared without regard to case). Processes whose
  // account cannot be read count as another user's.
  virtual bool IsProgramRunning(std::u16string_view imageName) = 0;
};

}  // namespace lss
