#include "installer.h"

#include <msi.h>
#include <msiquery.h>
#include <objbase.h>

#include <chrono>
#include <stdexcept>

#include "handles/unique_any.h"
#include "handles/win32_handles.h"
#include "harness/process_runner.h"

namespace package_test {

using namespace std::chrono_literals;

namespace {

using UniqueMsiHandle = lss::UniqueFunctionHandle<MSIHANDLE, &::MsiCloseHandle>;

void Check(UINT result, const char* what) {
  if (result != ERROR_SUCCESS) {
    throw std::runtime_error(std::string(what) + " failed: " + std::to_string(result));
  }
}

std::wstring RecordText(MSIHANDLE record, UINT field) {
  DWORD size = 0;
  wchar_t empty[1] = L"";
  ::MsiRecordGetStringW(record, field, empty, &size);
  std::wstring text(size + 1, L'\0');
  size += 1;
  Check(::MsiRecordGetStringW(record, field, text.data(), &size), "MsiRecordGetString");
  text.resize(size);
  return text;
}

}  // namespace

DWORD RunSystemTool(std::wstring_view tool, std::wstring_view arguments) {
  const std::wstring exe = L"C:\\windows\\system32\\" + std::wstring(tool);
  return e2e::RunProgram(exe, arguments, 120s).exitCode;
}

std::map<std::wstring, std::wstring> InstalledProducts() {
  std::map<std::wstring, std::wstring> products;
  wchar_t code[39];
  for (DWORD index = 0; ::MsiEnumProductsW(index, code) == ERROR_SUCCESS; ++index) {
    wchar_t version[MAX_PATH + 1];
    DWORD size = MAX_PATH + 1;
    const bool known =
        ::MsiGetProductInfoW(code, INSTALLPROPERTY_VERSIONSTRING, version, &size) == ERROR_SUCCESS;
    products[code] = known ? std::wstring(version, size) : L"";
  }
  return products;
}

std::map<std::wstring, std::wstring> QueryPackage(const std::wstring& msi, const wchar_t* query,
                                                  const std::wstring& transform) {
  UniqueMsiHandle database;
  Check(::MsiOpenDatabaseW(msi.c_str(), MSIDBOPEN_READONLY, database.put()), "MsiOpenDatabase");
  if (!transform.empty()) {
    Check(::MsiDatabaseApplyTransformW(database.get(), transform.c_str(), 0),
          "MsiDatabaseApplyTransform");
  }
  UniqueMsiHandle view;
  Check(::MsiDatabaseOpenViewW(database.get(), query, view.put()), "MsiDatabaseOpenView");
  Check(::MsiViewExecute(view.get(), 0), "MsiViewExecute");
  std::map<std::wstring, std::wstring> rows;
  UniqueMsiHandle record;
  while (::MsiViewFetch(view.get(), record.put()) == ERROR_SUCCESS) {
    rows[RecordText(record.get(), 1)] = RecordText(record.get(), 2);
  }
  return rows;
}

std::wstring SummaryProperty(const std::wstring& path, UINT property) {
  // Read with the structured-storage API: Wine's MsiGetSummaryInformation
  // reads no properties from a transform.
  lss::ComOwner<IStorage> storage;
  lss::ComOwner<IPropertySetStorage> sets;
  lss::ComOwner<IPropertyStorage> summary;
  if (FAILED(::StgOpenStorage(path.c_str(), nullptr, STGM_READ | STGM_SHARE_DENY_WRITE, nullptr, 0,
                              storage.put())) ||
      FAILED(storage.get()->QueryInterface(IID_IPropertySetStorage,
                                           reinterpret_cast<void**>(sets.put()))) ||
      FAILED(sets.get()->Open(FMTID_SummaryInformation, STGM_READ | STGM_SHARE_EXCLUSIVE,
                              summary.put()))) {
    throw std::runtime_error("cannot open the summary information of the storage");
  }
  PROPSPEC wanted{};
  wanted.ulKind = PRSPEC_PROPID;
  wanted.propid = property;
  PROPVARIANT value{};
  if (summary.get()->ReadMultiple(1, &wanted, &value) != S_OK) return {};
  std::wstring text;
  if (value.vt == VT_LPSTR && value.pszVal != nullptr) {
    for (const char* c = value.pszVal; *c != '\0'; ++c) text += static_cast<wchar_t>(*c);
  } else if (value.vt == VT_I4) {
    text = std::to_wstring(value.lVal);
  }
  ::PropVariantClear(&value);
  return text;
}

}  // namespace package_test
