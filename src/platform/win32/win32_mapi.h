#pragma once
// Extended MAPI from the system's mapi32.dll, loaded on first use.
#include <memory>

#include "platform/mapi.h"

namespace lss {

class MapiLibrary;

class Win32Mapi final : public Mapi {
 public:
  Win32Mapi();
  ~Win32Mapi() override;

  HResult Initialize(const MapiInit* init) override;
  HResult LogonEx(std::uintptr_t uiParam, const char16_t* profile, const char16_t* password,
                  std::uint32_t flags, MapiSession** session) override;
  void Uninitialize() override;

 private:
  // Loads the library unless it is loaded; 0, or the failure's HRESULT.
  HResult Load();

  std::shared_ptr<MapiLibrary> library_;
  int initializations_ = 0;  // successful MAPIInitialize calls not yet undone
};

}  // namespace lss
