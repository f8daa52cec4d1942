#include "platform/win32/win32_mapi_library.h"

#include <string>

namespace lss {
namespace {

HResult LastErrorResult() {
  const DWORD error = ::GetLastError();
  return error != ERROR_SUCCESS ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

bool SystemDirectory(std::wstring* path) {
  std::wstring buffer(MAX_PATH, L'\0');
  UINT length = ::GetSystemDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
  if (length >= buffer.size()) {  // too small: length is the size needed
    buffer.resize(length);
    length = ::GetSystemDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
  }
  if (length == 0 || length >= buffer.size()) return false;
  buffer.resize(length);
  *path = buffer;
  return true;
}

HMODULE LoadFromSystemDirectory(const std::wstring& path) {
  HMODULE module = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  // Systems without the search flags reject them; the full path alone still
  // names the system directory's copy.
  if (module == nullptr && ::GetLastError() == ERROR_INVALID_PARAMETER) {
    module = ::LoadLibraryExW(path.c_str(), nullptr, 0);
  }
  return module;
}

template <typename Function>
Function Resolve(HMODULE module, const char* name) {
  // Through the generic function pointer type, which converts to any other.
  using Generic = void (*)();
  return reinterpret_cast<Function>(reinterpret_cast<Generic>(::GetProcAddress(module, name)));
}

}  // namespace

std::shared_ptr<MapiLibrary> MapiLibrary::Load(HResult* error) {
  std::wstring path;
  if (!SystemDirectory(&path)) {
    *error = LastErrorResult();
    return nullptr;
  }
  path += L"\\mapi32.dll";
  UniqueModule module(LoadFromSystemDirectory(path));
  if (!module) {
    *error = LastErrorResult();
    return nullptr;
  }
  const auto initialize = Resolve<LPMAPIINITIALIZE>(module.get(), "MAPIInitialize");
  const auto logonEx = Resolve<LPMAPILOGONEX>(module.get(), "MAPILogonEx");
  const auto uninitialize = Resolve<LPMAPIUNINITIALIZE>(module.get(), "MAPIUninitialize");
  if (initialize == nullptr || logonEx == nullptr || uninitialize == nullptr) {
    *error = LastErrorResult();
    return nullptr;
  }
  return std::shared_ptr<MapiLibrary>(
      new MapiLibrary(std::move(module), initialize, logonEx, uninitialize));
}

MapiLibrary::MapiLibrary(UniqueModule module, LPMAPIINITIALIZE initialize, LPMAPILOGONEX logonEx,
                         LPMAPIUNINITIALIZE uninitialize)
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
