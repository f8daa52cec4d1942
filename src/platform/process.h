#pragma once
// What the program learns about its own process, and COM on its thread.
#include <string>
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
};

}  // namespace lss
