#pragma once
// LSSchedulerCheck: its options and its output; the checks run in check_run.
#include <string>
#include <string_view>
#include <vector>

#include "check/check_options.h"
#include "check/check_run.h"
#include "platform/check_platform.h"
#include "platform/console.h"

namespace lss {

// Reads the arguments (without the program's own name) by the usual
// conventions: --json, --quiet, --eventlog, --help (-h, /?), --version,
// --max-age-hours N, --task NAME, --only ID[,ID...], --collect FOLDER (a
// value also after "=").
CheckOptions ParseCheckOptions(const std::vector<std::u16string>& arguments);

// The whole tool: reads the process's arguments, writes the report (or the
// usage, version or error) to the console and, when asked, one event to the
// Application log; returns the exit code.
int RunCheckTool(CheckPlatform& os, Console& console, std::u16string_view version);

}  // namespace lss
