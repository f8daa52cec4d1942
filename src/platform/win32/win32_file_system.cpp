#include "platform/win32/win32_file_system.h"

#include <windows.h>

#include <string>

#include "handles/win32_handles.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_file.h"

namespace lss {
namespace {

std::unique_ptr<File> OpenForAppend(std::u16string_view path, DWORD disposition) {
  const std::wstring name = ToWide(path);
  // Append access without FILE_WRITE_DATA: the system puts every write at the
  // current end of the file, whoever else is appending. Read access only so
  // that the file's byte ranges can be locked (see Win32File::Append).
  UniqueFile handle(::CreateFileW(name.c_str(), FILE_APPEND_DATA | FILE_READ_DATA | SYNCHRONIZE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle) return nullptr;
  return std::make_unique<Win32File>(std::move(handle));
}

}  // namespace

bool Win32FileSystem::Exists(std::u16string_view path) {
  const std::wstring name = ToWide(path);
  return ::GetFileAttributesW(name.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Win32FileSystem::IsReadOnly(std::u16string_view path) {
  const std::wstring name = ToWide(path);
  const DWORD attributes = ::GetFileAttributesW(name.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

std::unique_ptr<File> Win32FileSystem::Create(std::u16string_view path) {
  return OpenForAppend(path, OPEN_ALWAYS);
}

std::unique_ptr<File> Win32FileSystem::OpenExisting(std::u16string_view path) {
  return OpenForAppend(path, OPEN_EXISTING);
}

}  // namespace lss
