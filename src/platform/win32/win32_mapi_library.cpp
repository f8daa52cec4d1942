#include "platform/win32/win32_mapi_library.h"

#include <utility>

namespace lss {

std::shared_ptr<MapiLibrary> MapiLibrary::Load(HResult* error) {
  UniqueModule module = LoadSystemLibrary(L"mapi32.dll", error);
  if (!module) return nullptr;
  const auto initialize = ResolveFunction<MapiInitializeFunction>(module.get(), "MAPIInitialize");
  const auto logonEx = ResolveFunction<MapiLogonExFunction>(module.get(), "MAPILogonEx");
  const auto uninitialize =
      ResolveFunction<MapiUninitializeFunction>(module.get(), "MAPIUninitialize");
  if (initialize == nullptr || logonEx == nullptr || uninitialize == nullptr) {
    *error = LastErrorResult();
    return nullptr;
  }
  return std::shared_ptr<MapiLibrary>(
      new MapiLibrary(std::move(module), initialize, logonEx, uninitialize));
}

MapiLibrary::MapiLibrary(UniqueModule module, MapiInitializeFunction initialize,
                         MapiLogonExFunction logonEx, MapiUninitializeFunction uninitialize)
    : module_(std::move(module)),
      initialize_(initialize),
      logonEx_(logonEx),
      uninitialize_(uninitialize) {}

void MapiLibrary::StayLoaded() const {
  HMODULE pinned = nullptr;
  ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCWSTR>(module_.get()), &pinned);
}

}  // namespace lss
