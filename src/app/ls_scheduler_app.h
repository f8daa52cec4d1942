#pragma once
// The application object: its start-up step performs one whole scheduled run.
#include <cstdint>

#include "app/scheduler_command_line_info.h"
#include "app/win_app.h"
#include "diag/run_log.h"
#include "settings/settings_store.h"

namespace lss {

class CLSSchedulerApp : public CWinApp {
 public:
  CLSSchedulerApp();
  ~CLSSchedulerApp() override;

  // Runs the whole sequence and returns false: no message loop follows.
  bool InitInstance() override;

  // Launch phase, then (with -e and a started Outlook) the session phase.
  // Throws _com_error and CException* for the caller's handlers.
  void RunScheduledSession(const CSchedulerCommandLineInfo& options,
                           std::uint32_t waitMilliseconds);
  // Opens the log in LogDirectory (REG_EXPAND_SZ expanded), then deletes
  // the logs older than LogRetentionDays.
  void OpenRunLog();

 private:
  // WaitSecondsForOutlookStart in milliseconds; below 1 becomes 15 (stored).
  std::uint32_t OutlookStartWait();
  // Runs the session and logs a COM error or framework exception that
  // escapes it as one entry; other errors pass on.
  void RunGuardedSession(const CSchedulerCommandLineInfo& options,
                         std::uint32_t waitMilliseconds);

  SettingsStore settings_;
  RunLog log_;  // closed at construction; closes itself at process end
};

// Seconds as milliseconds in 32 bits; too large a count saturates at
// 0xFFFFFFFE instead of wrapping to a short wait or reaching INFINITE.
std::uint32_t SecondsToWaitMilliseconds(std::int32_t seconds);

}  // namespace lss
