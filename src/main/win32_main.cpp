// LSScheduler.exe: the process entry, and the one place that joins the Win32
// platform to the application.
#include <windows.h>

#include "app/ls_scheduler_app.h"
#include "app/win_app.h"
#include "platform/win32/win32_platform.h"

namespace {

// Defined before the application object so that it is destroyed after it:
// the application still holds the bundle, and its log file, while static
// destruction closes that file.
lss::Win32Platform platform;

}  // namespace

lss::CLSSchedulerApp theApp;

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  return lss::AppMain(theApp, platform.bundle());
}
