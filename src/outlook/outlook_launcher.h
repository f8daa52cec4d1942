#pragma once
// Finds Outlook through its App Paths entry and starts it.
#include <cstdint>
#include <string>
#include <string_view>

#include "diag/run_log.h"
#include "platform/clock.h"
#include "platform/registry.h"
#include "platform/shell.h"

namespace lss {

// What the application asks for when it starts Outlook.
struct OutlookLaunchRequest {
  std::u16string profileName;  // " /profile <name>" unless empty
  bool recycle = true;         // " /recycle"
  std::u16string switches;     // added last, as they stand, unless empty
};

enum class LaunchResult {
  kStarted,  // the shell started Outlook, and the wait for it is over
  kFailed,   // Outlook was not found or not started; the failure is logged
};

// What the search for Outlook's App Paths entry found.
struct OutlookLocation {
  enum class Result {
    kFound,       // `folder` holds the Path value, `path` Outlook's full file name
    kNoEntry,     // the App Paths key cannot be opened (`status` says why)
    kNoValue,     // the key has no Path value
    kNotText,     // Path is not REG_SZ (`type` is what it is)
    kUnreadable,  // Path could not be read, e.g. longer than a reader takes (`status`)
  };
  Result result = Result::kNoEntry;
  Status status = 0;
  std::uint32_t type = reg::kNone;
  std::u16string folder;
  std::u16string path;
};

// Reads the App Paths entry exactly as a run does.
OutlookLocation LocateOutlook(Registry& registry);

// Outlook's full file name: the App Paths "Path" value (REG_SZ only)
// immediately followed by "OUTLOOK.EXE". False when not found.
bool FindOutlookPath(Registry& registry, std::u16string& path);

// " /profile <name>", " /recycle", " <switches>", each when it applies. A
// profile name with a blank, tab or quote is quoted so Outlook gets it whole.
std::u16string ComposeOutlookParameters(const OutlookLaunchRequest& request);

// `argument` as one command-line argument: unchanged when it holds no blank,
// tab or double quote, otherwise quoted by the standard Windows rules.
std::u16string QuoteCommandLineArgument(std::u16string_view argument);

// The text for a shell start result of 32 or less.
std::u16string LaunchErrorText(std::int32_t code);

void ReportLaunchError(RunLog& log, std::u16string_view commandText, std::int32_t code);

class OutlookLauncher {
 public:
  OutlookLauncher(Registry& registry, Shell& shell, Clock& clock, RunLog& log)
      : registry_(registry), shell_(shell), clock_(clock), log_(log) {}

  // Starts Outlook and waits `waitMilliseconds` for it to come up.
  LaunchResult Launch(const OutlookLaunchRequest& request, std::uint32_t waitMilliseconds);

 private:
  Registry& registry_;
  Shell& shell_;
  Clock& clock_;
  RunLog& log_;
};

}  // namespace lss
