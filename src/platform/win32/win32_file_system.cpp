#include "platform/win32/win32_file_system.h"

#include <windows.h>

#include <algorithm>
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

bool Win32FileSystem::IsFolder(std::u16string_view path) {
  const std::wstring name = ToWide(path);
  const DWORD attributes = ::GetFileAttributesW(name.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::vector<FileSystem::Listed> Win32FileSystem::ListFiles(std::u16string_view folder,
                                                           std::u16string_view pattern) {
  std::wstring query = ToWide(folder);
  if (!query.empty() && query.back() != L'\\') query.push_back(L'\\');
  query += ToWide(pattern);
  std::vector<Listed> listed;
  WIN32_FIND_DATAW found{};
  const UniqueFind search(::FindFirstFileW(query.c_str(), &found));
  if (!search) return listed;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
    listed.push_back({FromWide(found.cFileName),
                      std::uint64_t{found.nFileSizeHigh} << 32 | found.nFileSizeLow});
  } while (::FindNextFileW(search.get(), &found));
  return listed;
}

std::optional<FileSystem::Tail> Win32FileSystem::ReadTail(std::u16string_view path,
                                                          std::size_t maxBytes) {
  const std::wstring name = ToWide(path);
  // Shared for writing and deleting: a run that is writing its log goes on.
  const UniqueFile file(::CreateFileW(name.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file || !::GetFileSizeEx(file.get(), &size)) return std::nullopt;
  Tail tail;
  tail.size = static_cast<std::uint64_t>(size.QuadPart);
  const std::uint64_t wanted = std::min<std::uint64_t>(tail.size, maxBytes);
  LARGE_INTEGER start{};
  start.QuadPart = static_cast<LONGLONG>(tail.size - wanted);
  if (!::SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN)) return std::nullopt;
  tail.bytes.resize(static_cast<std::size_t>(wanted));
  std::size_t done = 0;
  while (done < tail.bytes.size()) {
    const DWORD chunk =
        static_cast<DWORD>(std::min<std::size_t>(tail.bytes.size() - done, 1u << 20));
    DWORD read = 0;
    if (!::ReadFile(file.get(), tail.bytes.data() + done, chunk, &read, nullptr)) {
      return std::nullopt;
    }
    if (read == 0) break;  // the file was cut short meanwhile
    done += read;
  }
  tail.bytes.resize(done);
  return tail;
}

Status Win32FileSystem::CreateEmptyFile(std::u16string_view path) {
  const std::wstring name = ToWide(path);
  const UniqueFile file(::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_TEMPORARY, nullptr));
  return file ? ERROR_SUCCESS : static_cast<Status>(::GetLastError());
}

Status Win32FileSystem::RemoveFile(std::u16string_view path) {
  const std::wstring name = ToWide(path);
  return ::DeleteFileW(name.c_str()) ? ERROR_SUCCESS : static_cast<Status>(::GetLastError());
}

std::u16string Win32FileSystem::SystemDirectory() {
  wchar_t buffer[MAX_PATH + 1];
  const UINT length = ::GetSystemDirectoryW(buffer, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH) return {};
  return FromWide(buffer, length);
}

}  // namespace lss
