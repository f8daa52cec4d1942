// olmapi.dll: the MAPI provider the system's mapi32 forwards to. It records
// every call LSScheduler makes and answers with the configured results.
#include <windows.h>
#include <mapix.h>

#include <atomic>
#include <cstdint>
#include <new>
#include <string>

#include "common/text.h"
#include "mapi/provider_state.h"
#include "mapi/session.h"

namespace {

std::atomic<size_t> g_initializeCalls{0};

std::string Text(LPTSTR text, bool wide) {
  if (text == nullptr) return "(null)";
  if (wide) return olsim::ToUtf8(reinterpret_cast<const wchar_t*>(text));
  return olsim::AnsiToUtf8(reinterpret_cast<const char*>(text));
}

std::string HResultText(HRESULT result) {
  return olsim::Hex32(static_cast<std::uint32_t>(result));
}

}  // namespace

HRESULT WINAPI MAPIInitialize(LPVOID lpMapiInit) {
  const olsim::Config& config = olsim::ProviderConfig();
  const size_t call = g_initializeCalls++;
  const HRESULT result = call < config.initResults.size() ? config.initResults[call] : S_OK;
  const auto* init = static_cast<const MAPIINIT_0*>(lpMapiInit);
  olsim::ProviderJournal().Write(
      "MAPIInitialize",
      {{"version", init != nullptr ? std::to_string(init->ulVersion) : "(null)"},
       {"flags", init != nullptr ? std::to_string(init->ulFlags) : "(null)"},
       {"result", HResultText(result)}});
  return result;
}

HRESULT WINAPI MAPILogonEx(ULONG_PTR ulUIParam, LPTSTR lpszProfileName, LPTSTR lpszPassword,
                           ULONG flFlags, LPMAPISESSION* lppSession) {
  HRESULT result = olsim::ProviderConfig().logonResult;
  if (result == S_OK && lppSession == nullptr) result = MAPI_E_INVALID_PARAMETER;
  if (lppSession != nullptr) {
    *lppSession = nullptr;
    if (result == S_OK) {
      *lppSession = new (std::nothrow) olsim::Session(olsim::ProviderConfig().logoffResult);
      if (*lppSession == nullptr) result = MAPI_E_NOT_ENOUGH_MEMORY;
    }
  }
  const bool wide = (flFlags & MAPI_UNICODE) != 0;
  olsim::ProviderJournal().Write("MAPILogonEx", {{"uiparam", std::to_string(ulUIParam)},
                                                 {"profile", Text(lpszProfileName, wide)},
                                                 {"password", Text(lpszPassword, wide)},
                                                 {"flags", olsim::Hex32(flFlags)},
                                                 {"result", HResultText(result)}});
  return result;
}

void WINAPI MAPIUninitialize(void) { olsim::ProviderJournal().Write("MAPIUninitialize"); }
