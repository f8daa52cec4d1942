#pragma once
// Windows' own tools run from the tests (msiexec, schtasks, reg), and the
// Windows Installer's record of what is installed.
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace package_test {

// Runs C:\windows\system32\<tool> with the arguments and returns its exit
// code; throws when it does not end within two minutes.
DWORD RunSystemTool(std::wstring_view tool, std::wstring_view arguments);

// The product codes of every installed product.
std::vector<std::wstring> InstalledProducts();
// One property of an installed product (e.g. INSTALLPROPERTY_VERSIONSTRING);
// empty when it has none.
std::wstring ProductProperty(const std::wstring& productCode, const wchar_t* property);
// Uninstalls every installed product, so each test starts from a clean machine.
void RemoveEveryProduct();

}  // namespace package_test
