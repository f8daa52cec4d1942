#pragma once
// The add-in's synchronization as LSScheduler sees it: LSSyncMutex held for a while.
#include "common/config.h"
#include "common/journal.h"
#include "handles/win32_handles.h"

namespace olsim {

enum class SyncOutcome {
  kNone,       // SyncMilliseconds is 0, or the mutex could not be had
  kReleased,   // held for SyncMilliseconds, then released
  kAbandoned,  // still held: the process is to end now, leaving it abandoned
};

class AddinSync {
 public:
  AddinSync() = default;
  AddinSync(const AddinSync&) = delete;
  AddinSync& operator=(const AddinSync&) = delete;

  // Waits SyncDelayMilliseconds, owns LSSyncMutex for SyncMilliseconds, sets
  // AutoRunExit when asked, then releases the mutex or keeps it to be abandoned.
  SyncOutcome Play(const Config& config, const Journal& journal);

 private:
  // Open until this object ends, also while the mutex is kept for abandonment.
  lss::UniqueHandle mutex_;
};

}  // namespace olsim
