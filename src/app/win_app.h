#pragma once
// A minimal application base: a start-up step and an exit step.
#include <string_view>

#include "platform/platform.h"

namespace lss {

class CWinApp {
 public:
  // The framework's applications are handed their name at construction;
  // nothing here reads it back (the settings store gets its own copy).
  explicit CWinApp(std::u16string_view /*appName*/) {}
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;
  virtual ~CWinApp() = default;

  // Does the program's work; false means no message loop follows.
  virtual bool InitInstance() { return false; }
  // The exit step. AppMain ignores its result: the exit code is always 0.
  virtual int ExitInstance() { return 0; }

  void AttachPlatform(Platform& platform) { platform_ = &platform; }

 protected:
  Platform& platform() { return *platform_; }

 private:
  Platform* platform_ = nullptr;
};

// The process entry's body: attaches the platform, runs InitInstance and the
// exit step. Whatever escapes them is swallowed: the exit code is always 0.
int AppMain(CWinApp& app, Platform& platform) noexcept;

}  // namespace lss
