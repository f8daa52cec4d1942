#pragma once
// The system's mapi32.dll, loaded at run time with its three entry points.
#include <memory>

#include "platform/types.h"
#include "platform/win32/mapi_abi.h"
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
  HRESULT LogonEx(ULONG_PTR uiParam, LPWSTR profile, LPWSTR password, ULONG flags,
                  IMapiSession** session) const {
    return logonEx_(uiParam, profile, password, flags, session);
  }
  void Uninitialize() const { uninitialize_(); }

  // Keeps the code in memory until the process ends, even after FreeLibrary:
  // for when MAPI is still initialized and its provider may still run.
  void StayLoaded() const;

 private:
  MapiLibrary(UniqueModule module, MapiInitializeFunction initialize,
              MapiLogonExFunction logonEx, MapiUninitializeFunction uninitialize);

  UniqueModule module_;
  MapiInitializeFunction initialize_;
  MapiLogonExFunction logonEx_;
  MapiUninitializeFunction uninitialize_;
};

}  // namespace lss
