#include "platform/win32/win32_mapi_session.h"

namespace lss {

HResult Win32MapiSession::Logoff(std::uintptr_t uiParam, std::uint32_t flags,
                                 std::uint32_t reserved) {
  return session_->Logoff(uiParam, flags, reserved);
}

std::uint32_t Win32MapiSession::Release() {
  const ULONG remaining = session_->Release();
  delete this;  // the library goes after the interface's code has run
  return remaining;
}

}  // namespace lss
