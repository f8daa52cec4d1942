#include "platform/win32/win32_collect_queries.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "handles/win32_handles.h"
#include "platform/win32/system_library.h"
#include "platform/win32/wide_text.h"

namespace lss {
namespace {

// RTL_OSVERSIONINFOW's layout; ntdll's RtlGetVersion fills it truthfully,
// where GetVersionExW answers what the manifest lets the program know.
using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);

// A folder's prefix ends at a separator; "C:" and "\\server\share" are not
// folders to create, but creating them fails harmlessly.
bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

}  // namespace

PathKind Win32CollectQueries::Look(std::u16string_view path) {
  const std::wstring name = ToWide(path);
  const DWORD attributes = ::GetFileAttributesW(name.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? PathKind::kMissing
                                                                          : PathKind::kUnknown;
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return PathKind::kFile;
  std::wstring query = name;
  if (!IsSeparator(query.back())) query.push_back(L'\\');
  query.push_back(L'*');
  WIN32_FIND_DATAW found{};
  const UniqueFind search(::FindFirstFileW(query.c_str(), &found));
  if (!search) {
    return ::GetLastError() == ERROR_FILE_NOT_FOUND ? PathKind::kEmptyFolder : PathKind::kUnknown;
  }
  do {
    const std::wstring_view entry(found.cFileName);
    if (entry != L"." && entry != L"..") return PathKind::kFolderWithEntries;
  } while (::FindNextFileW(search.get(), &found));
  return PathKind::kEmptyFolder;
}

Status Win32CollectQueries::CreateFolders(std::u16string_view path) {
  const std::wstring name = ToWide(path);
  for (std::size_t at = 1; at < name.size(); ++at) {
    if (!IsSeparator(name[at]) || IsSeparator(name[at - 1])) continue;
    const std::wstring parent = name.substr(0, at);
    ::CreateDirectoryW(parent.c_str(), nullptr);  // only the last level's result counts
  }
  if (::CreateDirectoryW(name.c_str(), nullptr)) return ERROR_SUCCESS;
  const auto error = static_cast<Status>(::GetLastError());
  const DWORD attributes = ::GetFileAttributesW(name.c_str());
  const bool isFolder =
      attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  return error == ERROR_ALREADY_EXISTS && isFolder ? ERROR_SUCCESS : error;
}

Status Win32CollectQueries::WriteNewFile(std::u16string_view path, std::string_view bytes) {
  const std::wstring name = ToWide(path);
  Status status = ERROR_SUCCESS;
  {
    const UniqueFile file(::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return static_cast<Status>(::GetLastError());
    std::size_t done = 0;
    while (done < bytes.size()) {
      const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
      DWORD written = 0;
      if (!::WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr)) {
        status = static_cast<Status>(::GetLastError());
        break;
      }
      if (written == 0) {
        status = ERROR_WRITE_FAULT;
        break;
      }
      done += written;
    }
    if (status == ERROR_SUCCESS && !::FlushFileBuffers(file.get())) {
      status = static_cast<Status>(::GetLastError());
    }
  }
  // The file is this call's own: a cut-short copy is worse than none.
  if (status != ERROR_SUCCESS) ::DeleteFileW(name.c_str());
  return status;
}

Status Win32CollectQueries::ReadUserKey(std::u16string_view key, RegistryKeyRead* read) {
  const std::wstring subkey = ToWide(key);
  UniqueHkey opened;
  LSTATUS status = ::RegOpenKeyExW(HKEY_CURRENT_USER, subkey.c_str(), 0,
                                   KEY_READ | KEY_WOW64_64KEY, opened.put());
  if (status != ERROR_SUCCESS) return status;
  RegistryKeyRead result;
  // Key names have at most 255 characters, value names 16383.
  std::wstring name(256, L'\0');
  for (DWORD index = 0;; ++index) {
    DWORD length = static_cast<DWORD>(name.size());
    status = ::RegEnumKeyExW(opened.get(), index, name.data(), &length, nullptr, nullptr, nullptr,
                             nullptr);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status != ERROR_SUCCESS) return status;
    result.subkeys.push_back(FromWide(name.c_str(), length));
  }
  name.assign(16384, L'\0');
  std::vector<std::uint8_t> data(4096);
  int regrown = 0;  // a value that keeps growing meanwhile is given up on
  for (DWORD index = 0;;) {
    DWORD length = static_cast<DWORD>(name.size());
    DWORD type = REG_NONE;
    DWORD size = static_cast<DWORD>(data.size());
    status = ::RegEnumValueW(opened.get(), index, name.data(), &length, nullptr, &type,
                             data.data(), &size);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status == ERROR_MORE_DATA && size > data.size() && ++regrown <= 3) {
      data.resize(size);  // the same index again, with room for the data
      continue;
    }
    if (status != ERROR_SUCCESS) return status;
    result.values.push_back({FromWide(name.c_str(), length), type,
                             std::vector<std::uint8_t>(data.begin(), data.begin() + size)});
    ++index;
    regrown = 0;
  }
  *read = std::move(result);
  return ERROR_SUCCESS;
}

std::u16string Win32CollectQueries::WindowsVersion() {
  const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  if (ntdll == nullptr) return {};
  const auto getVersion = ResolveFunction<RtlGetVersionFunction>(ntdll, "RtlGetVersion");
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (getVersion == nullptr || getVersion(&info) != 0) return {};
  const std::wstring text = std::to_wstring(info.dwMajorVersion) + L"." +
                            std::to_wstring(info.dwMinorVersion) + L"." +
                            std::to_wstring(info.dwBuildNumber);
  return FromWide(text.c_str());
}

}  // namespace lss
