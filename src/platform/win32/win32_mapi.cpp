#include "platform/win32/win32_mapi.h"

#include <new>
#include <optional>
#include <string>

#include "platform/win32/wide_text.h"
#include "platform/win32/win32_mapi_library.h"
#include "platform/win32/win32_mapi_session.h"

namespace lss {
namespace {

std::optional<std::wstring> WideOrNone(const char16_t* text) {
  if (text == nullptr) return std::nullopt;
  return ToWide(text);
}

LPWSTR AsMapiText(std::optional<std::wstring>& text) {
  return text ? text->data() : nullptr;
}

}  // namespace

Win32Mapi::Win32Mapi() = default;

Win32Mapi::~Win32Mapi() {
  // A run that never uninitialized leaves the provider running; unloading
  // mapi32 under it would pull its code away before process end.
  if (library_ && initializations_ > 0) library_->StayLoaded();
}

HResult Win32Mapi::Load() {
  if (library_) return S_OK;
  HResult error = S_OK;
  library_ = MapiLibrary::Load(&error);
  return error;
}

HResult Win32Mapi::Initialize(const MapiInit* init) {
  if (const HResult error = Load(); error != S_OK) return error;
  MapiInit0 record{};
  if (init != nullptr) {
    record.ulVersion = init->version;
    record.ulFlags = init->flags;
  }
  const HRESULT result = library_->Initialize(init != nullptr ? &record : nullptr);
  if (SUCCEEDED(result)) ++initializations_;
  return result;
}

HResult Win32Mapi::LogonEx(std::uintptr_t uiParam, const char16_t* profile,
                           const char16_t* password, std::uint32_t flags,
                           MapiSession** session) {
  if (const HResult error = Load(); error != S_OK) return error;
  std::optional<std::wstring> profileText = WideOrNone(profile);
  std::optional<std::wstring> passwordText = WideOrNone(password);
  IMapiSession* opened = nullptr;
  const HRESULT result = library_->LogonEx(uiParam, AsMapiText(profileText),
                                           AsMapiText(passwordText), flags, &opened);
  if (opened == nullptr) return result;
  auto* wrapper = new (std::nothrow) Win32MapiSession(opened, library_);
  if (wrapper == nullptr) {
    opened->Release();
    return E_OUTOFMEMORY;
  }
  *session = wrapper;
  return result;
}

void Win32Mapi::Uninitialize() {
  if (!library_) return;
  library_->Uninitialize();
  if (initializations_ > 0) --initializations_;
}

}  // namespace lss
