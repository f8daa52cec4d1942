// LSSchedulerCheck.exe: the console entry, and the one place that joins the
// Win32 platform to the checks.
#include <windows.h>

#include <optional>
#include <string>

#include "check/check_tool.h"
#include "diag/stream_console.h"
#include "platform/win32/win32_check_platform.h"
#include "platform/win32/win32_console.h"
#include "platform/win32/win32_program_version.h"

int wmain() {
  lss::Win32CheckPlatform platform;
  lss::Win32ConsoleStreams streams;
  lss::StreamConsole console(streams);
  const std::optional<std::u16string> version = lss::ReadProgramVersion();
  return lss::RunCheckTool(platform.bundle(), console, version.value_or(std::u16string()));
}
