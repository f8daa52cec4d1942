#include "harness/scratch_files.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "handles/win32_handles.h"
#include "harness/text.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;

[[noreturn]] void Fail(const std::string& what, std::wstring_view path) {
  throw std::runtime_error(what + " " + ToUtf8(path) + ": error " +
                           std::to_string(::GetLastError()));
}

}  // namespace

std::wstring PathFromEnvironment(const wchar_t* name) {
  const wchar_t* value = _wgetenv(name);
  if (value == nullptr || *value == L'\0') {
    throw std::runtime_error("the environment variable " + Narrow(name) +
                             " is not set; run the tests through CTest");
  }
  std::wstring path(value);
  std::replace(path.begin(), path.end(), L'/', L'\\');
  return path;
}

void RemoveTree(std::wstring_view path) {
  const fs::path root{std::wstring(path)};
  std::error_code error;
  if (!fs::exists(root, error)) return;
  // DeleteFileW refuses read-only files; some tests leave such files behind.
  for (auto it = fs::recursive_directory_iterator(root, error);
       !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    ::SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  ::SetFileAttributesW(root.c_str(), FILE_ATTRIBUTE_NORMAL);
  fs::remove_all(root, error);
  if (error) {
    throw std::runtime_error("cannot delete " + ToUtf8(path) + ": " + error.message());
  }
}

void MakeFreshFolder(std::wstring_view folder) {
  RemoveTree(folder);
  std::error_code error;
  fs::create_directories(fs::path{std::wstring(folder)}, error);
  if (error) {
    throw std::runtime_error("cannot create " + ToUtf8(folder) + ": " + error.message());
  }
}

bool PathExists(std::wstring_view path) {
  return ::GetFileAttributesW(std::wstring(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::wstring> FileNamesIn(std::wstring_view folder) {
  std::vector<std::wstring> names;
  std::error_code error;
  for (auto it = fs::directory_iterator(fs::path{std::wstring(folder)}, error);
       !error && it != fs::directory_iterator(); it.increment(error)) {
    names.push_back(it->path().filename().wstring());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::map<std::wstring, std::string> FolderContents(const std::wstring& folder) {
  std::map<std::wstring, std::string> contents;
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(folder, error);
       !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    if (it->is_regular_file()) {
      contents[fs::relative(it->path(), folder).wstring()] = ReadFileBytes(it->path().wstring());
    }
  }
  return contents;
}

std::string ReadFileBytes(std::wstring_view path) {
  const lss::UniqueFile file(::CreateFileW(std::wstring(path).c_str(), GENERIC_READ,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) Fail("cannot open", path);
  std::string bytes;
  char buffer[65536];
  for (;;) {
    DWORD read = 0;
    if (!::ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr)) Fail("cannot read", path);
    if (read == 0) return bytes;
    bytes.append(buffer, read);
  }
}

void WriteFileBytes(std::wstring_view path, std::string_view bytes) {
  const lss::UniqueFile file(::CreateFileW(std::wstring(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) Fail("cannot create", path);
  DWORD written = 0;
  if (!::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
      written != bytes.size()) {
    Fail("cannot write", path);
  }
}

void SetReadOnly(std::wstring_view path) {
  if (!::SetFileAttributesW(std::wstring(path).c_str(), FILE_ATTRIBUTE_READONLY)) {
    Fail("cannot make read-only", path);
  }
}

void CopyFileTo(std::wstring_view from, std::wstring_view to) {
  const fs::path target{std::wstring(to)};
  std::error_code error;
  fs::create_directories(target.parent_path(), error);
  if (!::CopyFileW(std::wstring(from).c_str(), target.c_str(), FALSE)) {
    throw std::runtime_error("cannot copy " + ToUtf8(from) + " to " + ToUtf8(to) + ": error " +
                             std::to_string(::GetLastError()));
  }
}

}  // namespace e2e
