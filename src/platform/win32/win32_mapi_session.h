#pragma once
// One IMAPISession reference, handed to the core.
#include <memory>

#include "platform/mapi.h"
#include "platform/win32/win32_mapi_library.h"

namespace lss {

class Win32MapiSession final : public MapiSession {
 public:
  // Takes over the caller's reference to `session`; keeps the library that
  // supplied it loaded until the reference is released.
  Win32MapiSession(IMapiSession* session, std::shared_ptr<const MapiLibrary> library)
      : session_(session), library_(std::move(library)) {}
  Win32MapiSession(const Win32MapiSession&) = delete;
  Win32MapiSession& operator=(const Win32MapiSession&) = delete;

  HResult Logoff(std::uintptr_t uiParam, std::uint32_t flags, std::uint32_t reserved) override;
  // Releases the interface and deletes this wrapper.
  std::uint32_t Release() override;

 private:
  ~Win32MapiSession() = default;

  IMapiSession* session_;
  std::shared_ptr<const MapiLibrary> library_;
};

}  // namespace lss
