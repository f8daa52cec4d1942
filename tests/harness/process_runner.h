#pragma once
// Starting Windows programs and waiting for them, bounded in time.
#include <windows.h>

#include <chrono>
#include <string>
#include <string_view>

#include "handles/win32_handles.h"

namespace e2e {

struct RunResult {
  DWORD exitCode = 0;
  std::chrono::milliseconds elapsed{0};  // from just before the start to the observed end
};

// One started process. Its destructor kills it when nobody waited for it, so a
// failed test leaves nothing running.
class ChildProcess {
 public:
  // CreateProcessW with the command line `"exe" arguments`. Throws on failure.
  // With `output` and `error`, the process writes to those inherited handles
  // and gets no console.
  ChildProcess(std::wstring_view exe, std::wstring_view arguments, HANDLE output = nullptr,
               HANDLE error = nullptr);
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess();

  // Waits at most `limit`. When the process is still running then, kills it
  // and throws std::runtime_error.
  RunResult Wait(std::chrono::milliseconds limit);

 private:
  std::wstring commandLine_;
  std::chrono::steady_clock::time_point started_;
  lss::UniqueHandle process_;
  bool ended_ = false;
};

inline RunResult RunProgram(std::wstring_view exe, std::wstring_view arguments,
                            std::chrono::milliseconds limit) {
  return ChildProcess(exe, arguments).Wait(limit);
}

struct CapturedRun {
  DWORD exitCode = 0;
  std::string output;  // the bytes written to standard output
  std::string error;   // and to standard error
};

// Runs `"exe" arguments` with standard output and error redirected to new
// files in `folder` (so never to a console), and returns what it wrote. Throws when
// it cannot start or does not end within `limit` (it is killed then).
CapturedRun RunCapturingOutput(std::wstring_view exe, std::wstring_view arguments,
                               std::wstring_view folder, std::chrono::milliseconds limit);

// Gives every process of the prefix whose program file is named `exeName`
// up to `grace` to end on its own, then kills it (a stand-in left over by a
// failure). Returns how many had to be killed.
int EndProcessesNamed(std::wstring_view exeName, std::chrono::milliseconds grace);

}  // namespace e2e
