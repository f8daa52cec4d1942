#include "mapi/session.h"

#include <string>

#include "common/text.h"
#include "handles/win32_handles.h"
#include "mapi/provider_state.h"

namespace olsim {
namespace {

// Created by OUTLOOK.EXE; setting it is how a shared logoff makes Outlook exit.
constexpr wchar_t kSharedLogoffEvent[] = L"OlsimSharedLogoff";

// IID_IMAPISession, defined here rather than pulled from a GUID library.
constexpr GUID kIidMapiSession = {0x00020300, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

void SignalSharedLogoff() {
  const lss::UniqueHandle event(OpenEventW(EVENT_MODIFY_STATE, FALSE, kSharedLogoffEvent));
  if (event) SetEvent(event.get());
}

}  // namespace

Session::Session(HRESULT logoffResult) : logoffResult_(logoffResult) {}

STDMETHODIMP Session::QueryInterface(REFIID riid, LPVOID* ppvObj) {
  if (ppvObj == nullptr) return E_POINTER;
  if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, kIidMapiSession)) {
    AddRef();
    *ppvObj = static_cast<IMAPISession*>(this);
    return S_OK;
  }
  *ppvObj = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) Session::AddRef() { return ++refs_; }

STDMETHODIMP_(ULONG) Session::Release() {
  const ULONG refs = --refs_;
  ProviderJournal().Write("Release", {{"refs", std::to_string(refs)}});
  if (refs == 0) delete this;
  return refs;
}

STDMETHODIMP Session::Logoff(ULONG_PTR ulUIParam, ULONG ulFlags, ULONG ulReserved) {
  const HRESULT result = logoffResult_;
  ProviderJournal().Write("Logoff", {{"uiparam", std::to_string(ulUIParam)},
                                     {"flags", std::to_string(ulFlags)},
                                     {"reserved", std::to_string(ulReserved)},
                                     {"result", Hex32(static_cast<std::uint32_t>(result))}});
  // Journalled before the signal so the logoff precedes Outlook's exit in the journal.
  if ((ulFlags & MAPI_LOGOFF_SHARED) != 0) SignalSharedLogoff();
  return result;
}

STDMETHODIMP Session::GetLastError(HRESULT, ULONG, LPMAPIERROR*) { return MAPI_E_NO_SUPPORT; }
STDMETHODIMP Session::GetMsgStoresTable(ULONG, LPMAPITABLE*) { return MAPI_E_NO_SUPPORT; }
STDMETHODIMP Session::OpenMsgStore(ULONG_PTR, ULONG, LPENTRYID, LPCIID, ULONG, LPMDB*) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP Session::OpenAddressBook(ULONG_PTR, LPCIID, ULONG, LPADRBOOK*) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP Session::OpenProfileSection(LPMAPIUID, LPCIID, ULONG, LPPROFSECT*) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP Session::GetStatusTable(ULONG, LPMAPITABLE*) { return MAPI_E_NO_SUPPORT; }
STDMETHODIMP Session::OpenEntry(ULONG, LPENTRYID, LPCIID, ULONG, ULONG*, LPUNKNOWN*) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP Session::CompareEntryIDs(ULONG, LPENTRYID, ULONG, LPENTRYID, ULONG, ULONG*) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP Session::Advise(ULONG, LPENTRYID, ULONG, LPMAPIADVISESINK, ULONG*) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP Session::Unadvise(ULONG) { return MAPI_E_NO_SUPPORT; }
STDMETHODIMP Session::MessageOptions(ULONG_PTR, ULONG, LPTSTR, LPMESSAGE) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP Session::QueryDefaultMessageOpt(LPTSTR, ULONG, ULONG*, LPSPropValue*) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP Session::EnumAdrTypes(ULONG, ULONG*, LPTSTR**) { return MAPI_E_NO_SUPPORT; }
STDMETHODIMP Session::QueryIdentity(ULONG*, LPENTRYID*) { return MAPI_E_NO_SUPPORT; }
STDMETHODIMP Session::SetDefaultStore(ULONG, ULONG, LPENTRYID) { return MAPI_E_NO_SUPPORT; }
STDMETHODIMP Session::AdminServices(ULONG, LPSERVICEADMIN*) { return MAPI_E_NO_SUPPORT; }
STDMETHODIMP Session::ShowForm(ULONG_PTR, LPMDB, LPMAPIFOLDER, LPCIID, ULONG, LPMESSAGE, ULONG,
                               ULONG, ULONG, ULONG, LPSTR) {
  return MAPI_E_NO_SUPPORT;
}
STDMETHODIMP Session::PrepareForm(LPCIID, LPMESSAGE, ULONG*) { return MAPI_E_NO_SUPPORT; }

}  // namespace olsim
