#include "platform/win32/win32_program_version.h"

#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/wide_text.h"

namespace lss {

std::optional<std::u16string> ReadFileVersion(std::u16string_view path) {
  const std::wstring name = ToWide(path);
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(name.c_str(), &ignored);
  if (size == 0) return std::nullopt;
  std::vector<BYTE> block(size);
  if (!::GetFileVersionInfoW(name.c_str(), 0, size, block.data())) return std::nullopt;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixedSize = 0;
  if (!::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedSize) ||
      fixed == nullptr || fixedSize < sizeof(VS_FIXEDFILEINFO)) {
    return std::nullopt;
  }
  const std::wstring text = std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." +
                            std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
                            std::to_wstring(HIWORD(fixed->dwFileVersionLS)) + L"." +
                            std::to_wstring(LOWORD(fixed->dwFileVersionLS));
  return FromWide(text.c_str());
}

std::optional<std::u16string> ReadProgramVersion() {
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return std::nullopt;
    if (length < path.size()) return ReadFileVersion(FromWide(path.data(), length));
    path.resize(path.size() * 2);  // cut short: try again with more room
  }
}

}  // namespace lss
