#pragma once
// The session phase of a scheduled run: log on to Outlook's shared MAPI
// session, wait until the add-in has synchronized, log the session off.
#include <string>
#include <string_view>

#include "diag/run_log.h"
#include "handles/unique_any.h"
#include "platform/platform.h"
#include "settings/settings_store.h"

namespace lss {

struct MapiSessionTraits {
  using Handle = MapiSession*;
  static constexpr Handle Invalid() noexcept { return nullptr; }
  static void Close(Handle session) noexcept { session->Release(); }
};
// Owns one reference to a MAPI session; reset() clears it, then releases it.
using MapiSessionRef = UniqueAny<MapiSessionTraits>;

class MapiSessionPhase {
 public:
  MapiSessionPhase(Platform& platform, SettingsStore& settings, RunLog& log)
      : platform_(platform), settings_(settings), log_(log) {}

  // Throws _com_error when MAPI cannot be initialised or logged on to, and
  // CResourceException* when the mutex cannot be created.
  void Run(const std::u16string& profileName);

 private:
  void WaitForAddIn(class MutexLock& lock, const std::u16string& handOffSection);

  Platform& platform_;
  SettingsStore& settings_;
  RunLog& log_;
};

}  // namespace lss
