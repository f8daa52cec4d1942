#include "platform/win32/win32_system_messages.h"

#include <windows.h>

#include <vector>

#include "handles/win32_handles.h"
#include "platform/win32/wide_text.h"

namespace lss {
namespace {

// FormatMessageW never produces more than 64 KB of text.
constexpr DWORD kMaxMessageBytes = 0x10000;
constexpr DWORD kMaxMessageChars = kMaxMessageBytes / sizeof(wchar_t);

}  // namespace

std::optional<std::u16string> Win32SystemMessages::Lookup(std::uint32_t flags, std::uint32_t code,
                                                          std::uint32_t language) {
  if ((flags & FORMAT_MESSAGE_ALLOCATE_BUFFER) != 0) {
    LPWSTR allocated = nullptr;
    const DWORD length = ::FormatMessageW(flags, nullptr, code, language,
                                          reinterpret_cast<LPWSTR>(&allocated), 0, nullptr);
    const LocalMemory<wchar_t> text(allocated);
    if (length == 0 || !text) return std::nullopt;
    return FromWide(text.get(), length);
  }
  std::vector<wchar_t> buffer(kMaxMessageChars);
  const DWORD length = ::FormatMessageW(flags, nullptr, code, language, buffer.data(),
                                        kMaxMessageChars, nullptr);
  if (length == 0) return std::nullopt;
  return FromWide(buffer.data(), length);
}

}  // namespace lss
