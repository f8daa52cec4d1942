// A MAPI provider for mapi32 to forward to: MAPILogonEx notes what it
// received in its process's environment, then refuses the logon.
#include <windows.h>

#include <cwchar>
#include <string>

namespace {

std::wstring Shown(LPCWSTR text) {
  return text == nullptr ? std::wstring(L"null") : L"[" + std::wstring(text) + L"]";
}

}  // namespace

extern "C" {

__declspec(dllexport) HRESULT WINAPI MAPIInitialize(LPVOID) { return S_OK; }

__declspec(dllexport) HRESULT WINAPI MAPILogonEx(ULONG_PTR, LPWSTR profile, LPWSTR password,
                                                 ULONG flags, void** session) {
  wchar_t hexFlags[16];
  std::swprintf(hexFlags, 16, L"%08lx", flags);
  const std::wstring received =
      L"profile=" + Shown(profile) + L" password=" + Shown(password) + L" flags=" + hexFlags;
  ::SetEnvironmentVariableW(L"LSS_PROVIDER_LOGON", received.c_str());
  if (session != nullptr) *session = nullptr;
  return 0x80040111;  // MAPI_E_LOGON_FAILED
}

__declspec(dllexport) void WINAPI MAPIUninitialize() {}

}  // extern "C"
