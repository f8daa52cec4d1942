#include "version_info.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "handles/win32_handles.h"

namespace package_test {
namespace {

std::wstring FourParts(DWORD high, DWORD low) {
  wchar_t text[64];
  std::swprintf(text, 64, L"%u.%u.%u.%u", HIWORD(high), LOWORD(high), HIWORD(low), LOWORD(low));
  return text;
}

}  // namespace

std::map<std::wstring, std::wstring> ReadVersionFacts(std::wstring_view path) {
  std::map<std::wstring, std::wstring> facts;
  const std::wstring file(path);
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(file.c_str(), &ignored);
  if (size == 0) return facts;
  std::vector<BYTE> block(size);
  if (!::GetFileVersionInfoW(file.c_str(), 0, size, block.data())) return facts;

  void* value = nullptr;
  UINT length = 0;
  if (::VerQueryValueW(block.data(), L"\\", &value, &length) &&
      length >= sizeof(VS_FIXEDFILEINFO)) {
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    facts[L"fixed FileVersion"] = FourParts(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
    facts[L"fixed ProductVersion"] =
        FourParts(fixed->dwProductVersionMS, fixed->dwProductVersionLS);
  }

  // The first translation: its language and code page.
  if (!::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &value, &length) ||
      length < 2 * sizeof(WORD)) {
    return facts;
  }
  const auto* translation = static_cast<const WORD*>(value);
  wchar_t table[32];
  std::swprintf(table, 32, L"\\StringFileInfo\\%04x%04x\\", translation[0], translation[1]);
  for (const wchar_t* name :
       {L"CompanyName", L"FileDescription", L"FileVersion", L"InternalName", L"LegalCopyright",
        L"OriginalFilename", L"ProductName", L"ProductVersion"}) {
    const std::wstring query = table + std::wstring(name);
    if (::VerQueryValueW(block.data(), query.c_str(), &value, &length) && length > 0) {
      // The length counts the terminating NUL.
      facts[name] = std::wstring(static_cast<const wchar_t*>(value), length - 1);
    }
  }
  return facts;
}

std::string ReadEmbeddedManifest(std::wstring_view path) {
  const std::wstring file(path);
  lss::UniqueModule module(::LoadLibraryExW(
      file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
  if (!module) return {};
  HRSRC resource = ::FindResourceW(module.get(), MAKEINTRESOURCEW(1), RT_MANIFEST);
  if (resource == nullptr) return {};
  HGLOBAL loaded = ::LoadResource(module.get(), resource);
  const DWORD size = ::SizeofResource(module.get(), resource);
  const void* bytes = loaded != nullptr ? ::LockResource(loaded) : nullptr;
  if (bytes == nullptr) return {};
  return std::string(static_cast<const char*>(bytes), size);
}

std::wstring VersionQuad(std::wstring_view version) {
  std::wstring quad(version);
  for (auto dots = std::count(quad.begin(), quad.end(), L'.'); dots < 3; ++dots) quad += L".0";
  return quad;
}

}  // namespace package_test
