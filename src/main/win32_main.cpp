// LSScheduler.exe: the process entry, and the one place that joins the Win32
// platform to the application.
#include <windows.h>

#include "app/ls_scheduler_app.h"
#include "app/win_app.h"
#include "platform/win32/win32_platform.h"

namespace {

// Defined before the application object so that it is destroyed after it:
// the application still holds the bundle, and its log file, while static
// destruction closes that file. Both are built before wWinMain by design; a
// process without memory for their few names could not run anyway.
lss::Win32Platform platform;  // NOLINT(cert-err58-cpp)

}  // namespace

lss::CLSSchedulerApp theApp;  // NOLINT(cert-err58-cpp): see above

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  return lss::AppMain(theApp, platform.bundle());
}
