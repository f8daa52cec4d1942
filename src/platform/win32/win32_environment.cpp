#include "platform/win32/win32_environment.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace lss {

std::u16string ExpandEnvironmentText(std::u16string_view text) {
  const std::wstring source = ToWide(text);
  DWORD needed = ::ExpandEnvironmentStringsW(source.c_str(), nullptr, 0);
  // A variable may grow between the two calls; try again with its new size.
  for (int attempt = 0; attempt < 3 && needed != 0; ++attempt) {
    std::wstring expanded(needed, L'\0');
    const DWORD written = ::ExpandEnvironmentStringsW(source.c_str(), expanded.data(), needed);
    if (written == 0) break;
    if (written <= needed) return FromWide(expanded.c_str());
    needed = written;
  }
  return std::u16string(text);
}

}  // namespace lss
