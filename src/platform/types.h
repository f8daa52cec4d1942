#pragma once
// Plain integer types for the values that cross the seam to Windows. They keep
// Win32's widths on every host (LONG is 32 bits on Windows, 64 on Linux).
#include <cstdint>

namespace lss {

using Status = std::int32_t;   // Win32 error code (LSTATUS); 0 is success
using HResult = std::int32_t;  // COM/MAPI result; only 0 counts as success

namespace win32_error {
inline constexpr Status kSuccess = 0;
inline constexpr Status kFileNotFound = 2;
inline constexpr Status kPathNotFound = 3;
inline constexpr Status kAccessDenied = 5;
inline constexpr Status kInvalidHandle = 6;
inline constexpr Status kFileExists = 80;
inline constexpr Status kCallNotImplemented = 120;
inline constexpr Status kAlreadyExists = 183;
inline constexpr Status kMoreData = 234;
inline constexpr Status kNoMoreItems = 259;
}  // namespace win32_error

}  // namespace lss
