#pragma once
// The three MAPI entry points and the session calls the program makes.
#include <cstdint>

#include "platform/types.h"

namespace lss {

struct MapiInit {  // MAPIINIT_0
  std::uint32_t version = 0;
  std::uint32_t flags = 0;
};

namespace mapi_flag {
inline constexpr std::uint32_t kNoCoInit = 0x00000008;
inline constexpr std::uint32_t kUnicode = 0x80000000;
inline constexpr std::uint32_t kExtended = 0x00000020;
inline constexpr std::uint32_t kAllowOthers = 0x00000008;
inline constexpr std::uint32_t kLogoffShared = 0x00000001;
}  // namespace mapi_flag

// A counted reference to an IMAPISession.
class MapiSession {
 public:
  // IMAPISession::Logoff.
  virtual HResult Logoff(std::uintptr_t uiParam, std::uint32_t flags, std::uint32_t reserved) = 0;
  // IUnknown::Release: drops the reference the caller holds.
  virtual std::uint32_t Release() = 0;

 protected:
  ~MapiSession() = default;  // only Release ends a session
};

class Mapi {
 public:
  Mapi() = default;
  Mapi(const Mapi&) = delete;
  Mapi& operator=(const Mapi&) = delete;
  virtual ~Mapi() = default;

  // MAPIInitialize. The system's MAPI library is loaded on first use; when it
  // or an entry point cannot be loaded, the result is the failure's HRESULT.
  virtual HResult Initialize(const MapiInit* init) = 0;
  // MAPILogonEx. `profile` and `password` are NUL-terminated or null. On
  // success *session holds a reference the caller must Release.
  virtual HResult LogonEx(std::uintptr_t uiParam, const char16_t* profile,
                          const char16_t* password, std::uint32_t flags,
                          MapiSession** session) = 0;
  // MAPIUninitialize.
  virtual void Uninitialize() = 0;
};

}  // namespace lss
