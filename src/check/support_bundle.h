#pragma once
// The support bundle (--collect FOLDER): what a helpdesk asks a user for, in
// one new folder. The check's report in both forms, the newest run logs as
// they are, the user's settings as `reg export` writes them, the task's
// definition and a page on the machine; never mail data or profile contents.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "check/check_options.h"
#include "platform/check_platform.h"
#include "platform/console.h"
#include "platform/file_system.h"

namespace lss {

// A file of the bundle could not be written (the disk is full, access is
// denied): what is written so far stays, nothing else is attempted.
inline constexpr int kCollectFailedExitCode = 74;
// The newest run logs the bundle copies.
inline constexpr std::size_t kBundledRunLogs = 10;

// Why no bundle may be written where `folder` points, as the error says it;
// empty when it may (the folder is missing or empty).
std::u16string BundleRefusal(PathKind kind, std::u16string_view folder);

// Refuses a folder that is a file or holds anything; otherwise creates it,
// runs the checks the options ask for and writes the bundle into it. Reports
// the table and the files written, or why they could not be, to the console.
// Returns the verdict's exit code, kUsageExitCode when the folder is refused,
// or kCollectFailedExitCode when the folder or a file cannot be written.
int CollectSupportBundle(CheckPlatform& os, Console& console, const CheckOptions& options,
                         std::u16string_view version);

}  // namespace lss
