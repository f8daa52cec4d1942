#pragma once
// machine.txt of the support bundle: the versions, architectures and paths
// of Windows, the two programs, Outlook and its MAPI library, and what the
// MSI recorded.
#include <string>
#include <string_view>

#include "check/check_run.h"
#include "platform/check_platform.h"

namespace lss {

// One "Name: value" line each; `run` gives what the checks found, `version`
// is the tool's own.
std::u16string MachineText(CheckPlatform& os, const CheckRun& run, std::u16string_view version);

}  // namespace lss
