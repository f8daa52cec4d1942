#include "platform/win32/system_library.h"

#include <string>

namespace lss {
namespace {

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

}  // namespace

HResult LastErrorResult() {
  const DWORD error = ::GetLastError();
  return error != ERROR_SUCCESS ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

UniqueModule LoadSystemLibrary(const wchar_t* fileName, HResult* error) {
  std::wstring path;
  if (!SystemDirectory(&path)) {
    *error = LastErrorResult();
    return UniqueModule();
  }
  path += L'\\';
  path += fileName;
  HMODULE module = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  // Systems without the search flags reject them; the full path alone still
  // names the system directory's copy.
  if (module == nullptr && ::GetLastError() == ERROR_INVALID_PARAMETER) {
    module = ::LoadLibraryExW(path.c_str(), nullptr, 0);
  }
  if (module == nullptr) *error = LastErrorResult();
  return UniqueModule(module);
}

}  // namespace lss
