#include "platform/win32/win32_program_version.h"

#include <windows.h>

#include <string>
#include <vector>

namespace lss {

std::optional<std::u16string> ReadProgramVersion() {
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return std::nullopt;
    if (length < path.size()) break;
    path.resize(path.size() * 2);  // cut short: try again with more room
  }
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(path.data(), &ignored);
  if (size == 0) return std::nullopt;
  std::vector<BYTE> block(size);
  if (!::GetFileVersionInfoW(path.data(), 0, size, block.data())) return std::nullopt;
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
  return std::u16string(text.begin(), text.end());
}

}  // namespace lss
