#pragma once
// The real operating system: one Win32 implementation of every interface.
#include "platform/platform.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_environment.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_mapi.h"
#include "platform/win32/win32_process.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_sync.h"
#include "platform/win32/win32_system_messages.h"

namespace lss {

class Win32Platform {
 public:
  // Acquires nothing: MAPI is loaded only when first called.
  Win32Platform();
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  Platform& bundle() { return bundle_; }

 private:
  Win32Process process_;
  Win32Registry registry_;
  Win32Clock clock_;
  Win32FileSystem files_;
  Win32Shell shell_;
  Win32Sync sync_;
  Win32Mapi mapi_;
  Win32SystemMessages messages_;
  Win32Environment environment_;
  Platform bundle_;
};

}  // namespace lss
