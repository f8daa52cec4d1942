#pragma once
// The few Extended MAPI declarations the program uses, written out here: the
// Windows SDK no longer ships the MAPI headers, and the layout below is the
// stable binary interface of the system's mapi32.dll.
#include <windows.h>
#include <unknwn.h>

namespace lss {

struct MapiInit0 {  // MAPIINIT_0
  ULONG ulVersion;
  ULONG ulFlags;
};

// IMAPISession as far as its Logoff slot; the earlier methods are never
// called, so they are declared only to keep the slots in place.
struct IMapiSession : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetLastError() = 0;
  virtual HRESULT STDMETHODCALLTYPE GetMsgStoresTable() = 0;
  virtual HRESULT STDMETHODCALLTYPE OpenMsgStore() = 0;
  virtual HRESULT STDMETHODCALLTYPE OpenAddressBook() = 0;
  virtual HRESULT STDMETHODCALLTYPE OpenProfileSection() = 0;
  virtual HRESULT STDMETHODCALLTYPE GetStatusTable() = 0;
  virtual HRESULT STDMETHODCALLTYPE OpenEntry() = 0;
  virtual HRESULT STDMETHODCALLTYPE CompareEntryIDs() = 0;
  virtual HRESULT STDMETHODCALLTYPE Advise() = 0;
  virtual HRESULT STDMETHODCALLTYPE Unadvise() = 0;
  virtual HRESULT STDMETHODCALLTYPE MessageOptions() = 0;
  virtual HRESULT STDMETHODCALLTYPE QueryDefaultMessageOpt() = 0;
  virtual HRESULT STDMETHODCALLTYPE EnumAdrTypes() = 0;
  virtual HRESULT STDMETHODCALLTYPE QueryIdentity() = 0;
  virtual HRESULT STDMETHODCALLTYPE Logoff(ULONG_PTR ulUIParam, ULONG ulFlags,
                                           ULONG ulReserved) = 0;
};

// With MAPI_UNICODE in the flags, MAPILogonEx reads both strings as wide.
using MapiInitializeFunction = HRESULT(STDAPICALLTYPE*)(LPVOID lpMapiInit);
using MapiLogonExFunction = HRESULT(STDAPICALLTYPE*)(ULONG_PTR ulUIParam, LPWSTR lpszProfileName,
                                                     LPWSTR lpszPassword, ULONG flFlags,
                                                     IMapiSession** lppSession);
using MapiUninitializeFunction = void(STDAPICALLTYPE*)();

}  // namespace lss
