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

DWORD Attributes(std::u16string_view path) {
  const std::wstring name = ToWide(path);
  return ::GetFileAttributesW(name.c_str());
}

bool IsFolderAttribute(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// A folder's prefix ends at a separator; "C:" and "\\server\share" are not
// folders to create, but creating them fails harmlessly.
bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// Calls `found` with each entry FindFirstFileW/FindNextFileW give for
// `folder`\`pattern`, but "." and "..", until it answers false. False when
// the search found nothing or could not start (GetLastError tells which).
template <typename Found>
bool Search(std::u16string_view folder, std::u16string_view pattern, Found found) {
  std::wstring query = ToWide(folder);
  if (!query.empty() && !IsSeparator(query.back())) query.push_back(L'\\');
  query += ToWide(pattern);
  WIN32_FIND_DATAW data{};
  const UniqueFind search(::FindFirstFileW(query.c_str(), &data));
  if (!search) return false;
  do {
    const std::wstring_view name(data.cFileName);
    if (name == L"." || name == L"..") continue;
    if (!found(data)) break;
  } while (::FindNextFileW(search.get(), &data));
  return true;
}

}  // namespace

bool Win32FileSystem::Exists(std::u16string_view path) {
  return Attributes(path) != INVALID_FILE_ATTRIBUTES;
}

bool Win32FileSystem::IsFile(std::u16string_view path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Win32FileSystem::IsFolder(std::u16string_view path) {
  return IsFolderAttribute(Attributes(path));
}

bool Win32FileSystem::IsReadOnly(std::u16string_view path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

PathKind Win32FileSystem::Look(std::u16string_view path) {
  const DWORD attributes = Attributes(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? PathKind::kMissing
                                                                          : PathKind::kUnknown;
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return PathKind::kFile;
  bool holdsEntries = false;
  const bool searched = Search(path, u"*", [&](const WIN32_FIND_DATAW&) {
    holdsEntries = true;
    return false;
  });
  if (!searched) {
    return ::GetLastError() == ERROR_FILE_NOT_FOUND ? PathKind::kEmptyFolder : PathKind::kUnknown;
  }
  return holdsEntries ? PathKind::kFolderWithEntries : PathKind::kEmptyFolder;
}

std::unique_ptr<File> Win32FileSystem::Create(std::u16string_view path) {
  return OpenForAppend(path, OPEN_ALWAYS);
}

std::unique_ptr<File> Win32FileSystem::OpenExisting(std::u16string_view path) {
  return OpenForAppend(path, OPEN_EXISTING);
}

Status Win32FileSystem::CreateEmptyFile(std::u16string_view path) {
  const std::wstring name = ToWide(path);
  const UniqueFile file(::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_TEMPORARY, nullptr));
  return file ? ERROR_SUCCESS : static_cast<Status>(::GetLastError());
}

Status Win32FileSystem::CreateFolder(std::u16string_view path) {
  const std::wstring name = ToWide(path);
  return ::CreateDirectoryW(name.c_str(), nullptr) ? ERROR_SUCCESS
                                                   : static_cast<Status>(::GetLastError());
}

Status Win32FileSystem::CreateFolders(std::u16string_view path) {
  const std::wstring name = ToWide(path);
  for (std::size_t at = 1; at < name.size(); ++at) {
    if (!IsSeparator(name[at]) || IsSeparator(name[at - 1])) continue;
    const std::wstring parent = name.substr(0, at);
    ::CreateDirectoryW(parent.c_str(), nullptr);  // only the last level's result counts
  }
  if (::CreateDirectoryW(name.c_str(), nullptr)) return ERROR_SUCCESS;
  const auto error = static_cast<Status>(::GetLastError());
  return error == ERROR_ALREADY_EXISTS && IsFolderAttribute(::GetFileAttributesW(name.c_str()))
             ? ERROR_SUCCESS
             : error;
}

std::vector<FileSystem::Entry> Win32FileSystem::ListFolder(std::u16string_view folder,
                                                           std::u16string_view pattern) {
  std::vector<Entry> listed;
  Search(folder, pattern, [&](const WIN32_FIND_DATAW& found) {
    const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    listed.push_back(
        {FromWide(found.cFileName), isFolder,
         (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0,
         isFolder ? 0 : std::uint64_t{found.nFileSizeHigh} << 32 | found.nFileSizeLow});
    return true;
  });
  return listed;
}

Status Win32FileSystem::RemoveFile(std::u16string_view path) {
  const std::wstring name = ToWide(path);
  return ::DeleteFileW(name.c_str()) ? ERROR_SUCCESS : static_cast<Status>(::GetLastError());
}

}  // namespace lss
