#include "outlook/addin.h"

#include <windows.h>

#include <string>

#include "common/registry_values.h"
#include "handles/win32_handles.h"
#include "outlook/larkspan_keys.h"

namespace olsim {
namespace {

constexpr wchar_t kSyncMutexName[] = L"LSSyncMutex";

// Ownership of an acquired mutex: reset() releases it, as does the end of the
// scope; release() keeps it, so the end of the owning thread abandons it.
using MutexOwnership = lss::UniqueFunctionHandle<HANDLE, &::ReleaseMutex>;

}  // namespace

SyncOutcome AddinSync::Play(const Config& config, const Journal& journal) {
  if (config.syncMilliseconds == 0) return SyncOutcome::kNone;
  Sleep(config.syncDelayMilliseconds);

  mutex_.reset(CreateMutexW(nullptr, FALSE, kSyncMutexName));
  if (!mutex_) {
    journal.Write("mutex-error", {{"error", std::to_string(GetLastError())}});
    return SyncOutcome::kNone;
  }
  const DWORD wait = WaitForSingleObject(mutex_.get(), INFINITE);
  if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) {
    journal.Write("mutex-error", {{"error", std::to_string(GetLastError())}});
    return SyncOutcome::kNone;
  }
  MutexOwnership ownership(mutex_.get());
  journal.Write("mutex-acquired");

  Sleep(config.syncMilliseconds);
  if (config.setAutoRunExit != 0) {
    WriteDword(HKEY_CURRENT_USER, kAdminOptionsKey, L"AutoRunExit", config.setAutoRunExit);
    journal.Write("autorunexit-set", {{"value", std::to_string(config.setAutoRunExit)}});
  }
  if (config.abandonMutex) {
    journal.Write("mutex-abandoned");
    ownership.release();
    return SyncOutcome::kAbandoned;
  }
  // Journalled first so its time is never later than the release itself.
  journal.Write("mutex-released");
  ownership.reset();
  return SyncOutcome::kReleased;
}

}  // namespace olsim
