#pragma once
// Files and folders of the prefix that the tests prepare and check.
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace e2e {

// A Windows path from an environment variable set by the build, such as
// LSS_EXE=Z:/work/build/LSScheduler.exe; the slashes are turned into
// backslashes. Throws when the variable is not set.
std::wstring PathFromEnvironment(const wchar_t* name);

// Deletes `folder` with all its content (read-only files included) and
// creates it again, with its parents. Throws on failure.
void MakeFreshFolder(std::wstring_view folder);
void RemoveTree(std::wstring_view path);
bool PathExists(std::wstring_view path);

// The names (not paths) of the files directly in `folder`, sorted; empty when
// the folder does not exist.
std::vector<std::wstring> FileNamesIn(std::wstring_view folder);

// Every file below `folder`, by its path relative to it, with its bytes, for
// comparing before and after; empty when the folder does not exist.
std::map<std::wstring, std::string> FolderContents(const std::wstring& folder);

// The file's bytes; throws when it cannot be read.
std::string ReadFileBytes(std::wstring_view path);
void WriteFileBytes(std::wstring_view path, std::string_view bytes);
void SetReadOnly(std::wstring_view path);
// Copies over an existing file; creates the target's folder.
void CopyFileTo(std::wstring_view from, std::wstring_view to);

}  // namespace e2e
