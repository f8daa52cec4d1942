// A mapi32.dll planted beside the test program: it notes in its process's
// environment that it was loaded, and fails every call with its own code.
#include <windows.h>

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) ::SetEnvironmentVariableW(L"LSS_PLANTED_MAPI_LOADED", L"1");
  return TRUE;
}

__declspec(dllexport) HRESULT WINAPI MAPIInitialize(LPVOID) { return 0x8004BAD0; }

__declspec(dllexport) HRESULT WINAPI MAPILogonEx(ULONG_PTR, LPWSTR, LPWSTR, ULONG, void**) {
  return 0x8004BAD0;
}

__declspec(dllexport) void WINAPI MAPIUninitialize() {}

}  // extern "C"
