#pragma once
// The system's mapi32.dll, loaded at run time with its three entry points.
#include <memory>

#include "platform/types.h"
#include "platform/win32/mapi_headers.h"
#include "platform/win32/system_library.h"

namespace lss {

class MapiLibrary {
 public:
  // Loads mapi32.dll from the system directory only (never the current or
  // the program's folder) and resolves MAPIInitialize, MAPILogonEx and
  // MAPIUninitialize. Null on failure, with *error set to the HRESULT of the
  // Win32 error.
  static std::shared_ptr<MapiLibrary> Load(HResult* error);

  MapiLibrary(const MapiLibrary&) = delete;
  MapiLibrary& operator=(const MapiLibrary&) = delete;

  HRESULT Initialize(LPVOID init) const { return initialize_(init); }
  HRESULT LogonEx(ULONG_PTR uiParam, LPTSTR profile, LPTSTR password, ULONG flags,
                  LPMAPISESSION* session) const {
    return logonEx_(uiParam, profile, password, flags, session);
  }
  void Uninitialize() const { uninitialize_(); }

  // Keeps the code in memory until the process ends, even after FreeLibrary:
  // for when MAPI is still initialized and its provider may still run.
  void StayLoaded() const;

 private:
  MapiLibrary(UniqueModule module, LPMAPIINITIALIZE initialize, LPMAPILOGONEX logonEx,
              LPMAPIUNINITIALIZE uninitialize);

  UniqueModule module_;
  LPMAPIINITIALIZE initialize_;
  LPMAPILOGONEX logonEx_;
  LPMAPIUNINITIALIZE uninitialize_;
};

}  // namespace lss
