#include "outlook/mapi_session.h"

#include "diag/com_error.h"
#include "diag/run_log_entries.h"
#include "outlook/named_mutex.h"
#include "settings/setting_names.h"

namespace lss {

namespace {

constexpr std::uint32_t kLogonFlags =
    mapi_flag::kUnicode | mapi_flag::kExtended | mapi_flag::kAllowOthers;  // 0x80000028
constexpr std::uint32_t kPollMilliseconds = 2000;

}  // namespace

void MapiSessionPhase::Run(const std::u16string& profileName) {
  Mapi& mapi = platform_.mapi;

  log_.Write(kMapiInitialize);
  MapiInit init{0, mapi_flag::kNoCoInit};
  HResult result = mapi.Initialize(&init);
  if (result != 0) {
    init.flags = 0;
    log_.Write(kMapiInitializeRetry);
    result = mapi.Initialize(&init);
  }
  if (result != 0) {
    throw _com_error(result);
  }

  log_.Write(kMapiLogonEx);
  // Declared before the mutex so an exception lets the mutex go first and
  // releases the session last, without a logoff.
  MapiSessionRef session;
  result = mapi.LogonEx(0, profileName.c_str(), nullptr, kLogonFlags, session.put());
  if (result != 0) {
    throw _com_error(result);  // MAPI stays initialised, as Outlook still uses it
  }

  const std::u16string handOffSection = HandOffSection();
  CMutex mutex(platform_.sync, kSyncMutexName);
  MutexLock lock(mutex);
  log_.Write(kWaitingForLarkspan);
  WaitForAddIn(lock, handOffSection);

  if (session.get() != nullptr) {
    log_.Write(kMapiLogoff);
    if (session.get()->Logoff(0, mapi_flag::kLogoffShared, 0) != 0) {
      log_.Write(kMapiLogoffFailed);
    }
    session.reset();
  }
  log_.Write(kMapiUninitialize);
  mapi.Uninitialize();
  // The lock lets the mutex go only now, after the logoff; then the mutex closes.
}

void MapiSessionPhase::WaitForAddIn(MutexLock& lock, const std::u16string& handOffSection) {
  if (lock.Lock(kInfinite)) {
    return;
  }
  // The unbounded wait failed: poll, and let the add-in end the wait early.
  for (;;) {
    if (settings_.ReadSettingInt(handOffSection, kAutoRunExit, 0) != 0) {
      return;
    }
    if (lock.Lock(kPollMilliseconds)) {
      return;
    }
    if (lock.lastWaitResult() == wait_result::kFailed) {
      // A failed wait returns at once; keep the poll's pace instead of spinning.
      platform_.clock.Sleep(kPollMilliseconds);
    }
  }
}

}  // namespace lss
