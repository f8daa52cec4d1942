#include "app/ls_scheduler_app.h"

#include <new>
#include <optional>

#include "diag/com_error.h"
#include "diag/exceptions.h"
#include "diag/log_retention.h"
#include "outlook/mapi_session.h"
#include "outlook/outlook_launcher.h"
#include "settings/hand_off.h"
#include "settings/outlook_start_wait.h"
#include "settings/setting_names.h"
#include "settings/toolbar_block.h"

namespace lss {

namespace {

constexpr std::uint32_t kLongestWaitMilliseconds = 0xFFFFFFFE;  // one short of INFINITE

// COM for the thread from construction to destruction, on every path.
class ComApartment {
 public:
  explicit ComApartment(Process& process) : process_(process) { process_.ComInitialize(); }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() { process_.ComUninitialize(); }

 private:
  Process& process_;
};

}  // namespace

std::uint32_t SecondsToWaitMilliseconds(std::int32_t seconds) {
  const std::uint64_t milliseconds = static_cast<std::uint64_t>(seconds) * 1000u;
  return milliseconds > kLongestWaitMilliseconds ? kLongestWaitMilliseconds
                                                 : static_cast<std::uint32_t>(milliseconds);
}

CLSSchedulerApp::CLSSchedulerApp() : CWinApp(kApplicationName), settings_(kApplicationName) {}
CLSSchedulerApp::~CLSSchedulerApp() = default;

bool CLSSchedulerApp::InitInstance() {
  Platform& os = platform();
  CSchedulerCommandLineInfo options;
  ScanCommandLine(os.process.Arguments(), options);
  settings_.SetSettingsRoot(os.registry, kVendorKey);

  ToolbarBlock toolbar(settings_, log_);
  toolbar.RecoverToolbarLoad();
  WriteHandOffValues(settings_, options.taskName);

  const ComApartment com(os.process);
  OpenRunLog();
  if (options.startOutlook != 0) {
    const auto prior = static_cast<std::int32_t>(
        settings_.ReadSettingInt(kSettingsSection, kBlockToolbarLoad, -1));
    if (options.exitOutlook != 0) {
      toolbar.BlockToolbar(prior);
    }
    RunGuardedSession(options, OutlookStartWait());
    if (options.exitOutlook != 0) {
      toolbar.UnblockToolbar(prior);
    }
  }
  return false;
}

std::uint32_t CLSSchedulerApp::OutlookStartWait() {
  const auto stored = static_cast<std::int32_t>(
      settings_.ReadSettingInt(kSettingsSection, kWaitSecondsForOutlookStart, -1));
  const std::int32_t seconds = EffectiveWaitSeconds(stored);
  if (seconds != stored) {
    settings_.WriteSettingInt(kSettingsSection, kWaitSecondsForOutlookStart, seconds);
  }
  return SecondsToWaitMilliseconds(seconds);
}

void CLSSchedulerApp::RunGuardedSession(const CSchedulerCommandLineInfo& options,
                                        std::uint32_t waitMilliseconds) {
  SystemMessages& messages = platform().messages;
  // A failure while reporting is dropped: the toolbar must still be restored.
  const auto report = [this](auto&& compose) {
    try {
      if (const std::optional<std::u16string> line = compose()) {
        log_.WriteQuietly(*line);
      }
    } catch (CException* exception) {  // NOLINT(cert-err09-cpp,cert-err61-cpp): by pointer
      if (exception != nullptr) exception->Delete();
    } catch (...) {
    }
  };
  try {
    RunScheduledSession(options, waitMilliseconds);
  } catch (const _com_error& error) {
    report([&] { return std::optional(ComErrorReport(error, messages)); });
  } catch (CException* exception) {  // NOLINT(cert-err09-cpp,cert-err61-cpp): thrown by pointer
    report([&] { return ExceptionReport(exception, messages); });
  } catch (const std::bad_alloc&) {
    report([&] { return ExceptionReport(CMemoryException::Instance(), messages); });
  }
}

void CLSSchedulerApp::RunScheduledSession(const CSchedulerCommandLineInfo& options,
                                          std::uint32_t waitMilliseconds) {
  Platform& os = platform();
  // Without -s nothing is started, and nothing failed to start.
  if (options.startOutlook != 0) {
    const OutlookLaunchRequest request{options.profileName, options.recycle != 0,
                                       options.outlookSwitches};
    OutlookLauncher launcher(os.registry, os.shell, os.clock, log_);
    if (launcher.Launch(request, waitMilliseconds) == LaunchResult::kFailed) {
      return;
    }
  }
  if (options.exitOutlook == 0) {
    return;
  }
  MapiSessionPhase(os, settings_, log_).Run(options.profileName);
}

void CLSSchedulerApp::OpenRunLog() {
  Platform& os = platform();
  const std::u16string folder =
      settings_.ReadSettingExpandable(kSettingsSection, kLogDirectory, os.environment);
  log_.Open(os.clock, os.files, folder);
  if (!log_.IsOpen() || !log_.openedAt()) return;
  const std::int32_t days =
      RetentionDays(settings_.ReadSettingInt(kSettingsSection, kLogRetentionDays, 0));
  DeleteOldRunLogs(os.files, folder, *log_.openedAt(), days, log_.path());
}

}  // namespace lss
