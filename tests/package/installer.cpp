#include "installer.h"

#include <msi.h>

#include <chrono>

#include "harness/process_runner.h"

namespace package_test {

using namespace std::chrono_literals;

DWORD RunSystemTool(std::wstring_view tool, std::wstring_view arguments) {
  const std::wstring exe = L"C:\\windows\\system32\\" + std::wstring(tool);
  return e2e::RunProgram(exe, arguments, 120s).exitCode;
}

std::vector<std::wstring> InstalledProducts() {
  std::vector<std::wstring> products;
  wchar_t code[39];
  for (DWORD index = 0; ::MsiEnumProductsW(index, code) == ERROR_SUCCESS; ++index) {
    products.emplace_back(code);
  }
  return products;
}

std::wstring ProductProperty(const std::wstring& productCode, const wchar_t* property) {
  wchar_t value[MAX_PATH + 1];
  DWORD size = MAX_PATH + 1;
  if (::MsiGetProductInfoW(productCode.c_str(), property, value, &size) != ERROR_SUCCESS) return {};
  return std::wstring(value, size);
}

void RemoveEveryProduct() {
  for (const std::wstring& product : InstalledProducts()) {
    RunSystemTool(L"msiexec.exe", L"/x " + product + L" /qn");
  }
}

}  // namespace package_test
