#pragma once
// The session phase of a scheduled run: log on to Outlook's shared MAPI
// session, wait until the add-in has synchronized, log the session off.
#include <string>

#include "diag/run_log.h"
#include "platform/platform.h"
#include "settings/settings_store.h"

namespace lss {

// Owns one reference to a MAPI session.
class MapiSessionRef {
 public:
  MapiSessionRef() = default;
  MapiSessionRef(const MapiSessionRef&) = delete;
  MapiSessionRef& operator=(const MapiSessionRef&) = delete;
  ~MapiSessionRef() { Release(); }

  MapiSession** put() {
    Release();
    return &session_;
  }
  MapiSession* get() const { return session_; }
  // Clears the reference first, then releases the interface.
  void Release();

 private:
  MapiSession* session_ = nullptr;
};

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
