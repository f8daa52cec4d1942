#pragma once
// A minimal application base: a name, a start-up step and an exit step.
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace lss {

class CWinApp {
 public:
  explicit CWinApp(std::u16string_view appName) : appName_(appName) {}
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;
  virtual ~CWinApp() = default;

  // Does the program's work; false means no message loop follows.
  virtual bool InitInstance() { return false; }
  // The exit step; its result is the process exit code.
  virtual int ExitInstance() { return 0; }

  const std::u16string& appName() const { return appName_; }
  void AttachPlatform(Platform& platform) { platform_ = &platform; }

 protected:
  Platform& platform() { return *platform_; }

 private:
  std::u16string appName_;
  Platform* platform_ = nullptr;
};

// The process entry's body: attaches the platform, runs InitInstance and the
// exit step. Whatever escapes them is swallowed: the exit code is always 0.
int AppMain(CWinApp& app, Platform& platform) noexcept;

}  // namespace lss
