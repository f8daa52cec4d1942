#pragma once
// The session MAPILogonEx hands out. Only Logoff and IUnknown do anything.
#include <windows.h>
#include <mapix.h>

#include <atomic>

namespace olsim {

class Session final : public IMAPISession {
 public:
  // Starts with one reference, the caller's. Logoff returns `logoffResult`.
  explicit Session(HRESULT logoffResult);
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  MAPIMETHOD(QueryInterface)(REFIID riid, LPVOID* ppvObj) override;
  MAPIMETHOD_(ULONG, AddRef)() override;
  MAPIMETHOD_(ULONG, Release)() override;

  MAPIMETHOD(GetLastError)(HRESULT, ULONG, LPMAPIERROR*) override;
  MAPIMETHOD(GetMsgStoresTable)(ULONG, LPMAPITABLE*) override;
  MAPIMETHOD(OpenMsgStore)(ULONG_PTR, ULONG, LPENTRYID, LPCIID, ULONG, LPMDB*) override;
  MAPIMETHOD(OpenAddressBook)(ULONG_PTR, LPCIID, ULONG, LPADRBOOK*) override;
  MAPIMETHOD(OpenProfileSection)(LPMAPIUID, LPCIID, ULONG, LPPROFSECT*) override;
  MAPIMETHOD(GetStatusTable)(ULONG, LPMAPITABLE*) override;
  MAPIMETHOD(OpenEntry)(ULONG, LPENTRYID, LPCIID, ULONG, ULONG*, LPUNKNOWN*) override;
  MAPIMETHOD(CompareEntryIDs)(ULONG, LPENTRYID, ULONG, LPENTRYID, ULONG, ULONG*) override;
  MAPIMETHOD(Advise)(ULONG, LPENTRYID, ULONG, LPMAPIADVISESINK, ULONG*) override;
  MAPIMETHOD(Unadvise)(ULONG) override;
  MAPIMETHOD(MessageOptions)(ULONG_PTR, ULONG, LPTSTR, LPMESSAGE) override;
  MAPIMETHOD(QueryDefaultMessageOpt)(LPTSTR, ULONG, ULONG*, LPSPropValue*) override;
  MAPIMETHOD(EnumAdrTypes)(ULONG, ULONG*, LPTSTR**) override;
  MAPIMETHOD(QueryIdentity)(ULONG*, LPENTRYID*) override;
  MAPIMETHOD(Logoff)(ULONG_PTR ulUIParam, ULONG ulFlags, ULONG ulReserved) override;
  MAPIMETHOD(SetDefaultStore)(ULONG, ULONG, LPENTRYID) override;
  MAPIMETHOD(AdminServices)(ULONG, LPSERVICEADMIN*) override;
  MAPIMETHOD(ShowForm)(ULONG_PTR, LPMDB, LPMAPIFOLDER, LPCIID, ULONG, LPMESSAGE, ULONG, ULONG,
                       ULONG, ULONG, LPSTR) override;
  MAPIMETHOD(PrepareForm)(LPCIID, LPMESSAGE, ULONG*) override;

 private:
  ~Session() = default;  // only Release ends it

  std::atomic<ULONG> refs_{1};
  const HRESULT logoffResult_;
};

}  // namespace olsim
