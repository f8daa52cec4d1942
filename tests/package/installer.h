#pragma once
// Windows' own tools run from the tests (msiexec, schtasks, reg), and the
// Windows Installer's record of what is installed.
#include <windows.h>

#include <map>
#include <string>
#include <string_view>

namespace package_test {

// Runs C:\windows\system32\<tool> with the arguments and returns its exit
// code; throws when it does not end within two minutes.
DWORD RunSystemTool(std::wstring_view tool, std::wstring_view arguments);

// Every installed product: its product code and its version (empty when it
// has none).
std::map<std::wstring, std::wstring> InstalledProducts();
// The rows of a query on a package, opened read-only, with `transform` applied
// in memory when one is given: the first column of each row as the key, the
// second as the value. Throws when the package or the transform cannot be read.
std::map<std::wstring, std::wstring> QueryPackage(const std::wstring& msi, const wchar_t* query,
                                                  const std::wstring& transform = L"");
// A property of the summary information of a package or a transform: its text
// (ASCII), or its 32-bit number as decimal text; empty when it has none.
std::wstring SummaryProperty(const std::wstring& path, UINT property);

}  // namespace package_test
