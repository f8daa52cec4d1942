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

Status Win32FileSystem::CreateFolder(std::u16string_view path) {
  const std::wstring name = ToWide(path);
  return ::CreateDirectoryW(name.c_str(), nullptr) ? ERROR_SUCCESS
                                                   : static_cast<Status>(::GetLastError());
}

std::vector<FileSystem::Entry> Win32FileSystem::ListFolder(std::u16string_view folder,
                                                           std::u16string_view pattern) {
  std::wstring query = ToWide(folder);
  if (!query.empty() && query.back() != L'\\') query.push_back(L'\\');
  query += ToWide(pattern);
  std::vector<Entry> listed;
  WIN32_FIND_DATAW found{};
  const UniqueFind search(::FindFirstFileW(query.c_str(), &found));
  if (!search) return listed;
  do {
    const std::wstring_view name(found.cFileName);
    if (name == L"." || name == L"..") continue;
    listed.push_back({FromWide(found.cFileName),
                      (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                      (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
  } while (::FindNextFileW(search.get(), &found));
  return listed;
}

Status Win32FileSystem::RemoveFile(std::u16string_view path) {
  const std::wstring name = ToWide(path);
  return ::DeleteFileW(name.c_str()) ? ERROR_SUCCESS : static_cast<Status>(::GetLastError());
}

}  // namespace lss
