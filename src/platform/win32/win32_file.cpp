#include "platform/win32/win32_file.h"

namespace lss {

bool Win32File::SeekToEnd() {
  LARGE_INTEGER distance;
  distance.QuadPart = 0;
  return ::SetFilePointerEx(handle_.get(), distance, nullptr, FILE_END) != FALSE;
}

bool Win32File::Append(const std::uint8_t* data, std::size_t size) {
  if (size > MAXDWORD) return false;  // one WriteFile cannot take it
  const DWORD count = static_cast<DWORD>(size);
  DWORD written = 0;
  return ::WriteFile(handle_.get(), data, count, &written, nullptr) != FALSE && written == count;
}

}  // namespace lss
