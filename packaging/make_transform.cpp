// make_transform BASE.msi OUT.mst PROPERTY=VALUE
//
// A build tool, run under Wine by scripts/lib/build_transform.sh; not shipped.
// Writes a Windows Installer transform that sets one public property of BASE
// (adds the Property row, or changes its value when BASE has one) and nothing
// else, tied to BASE by its summary information: the product code, the exact
// version and the upgrade code. Windows Installer's own generator
// (MsiDatabaseGenerateTransform) does this, but Wine only stubs it; this writes
// the documented storage instead.
//
// A transform is a structured-storage file of class CLSID_MsiTransform:
//   _StringPool   per string: its length in bytes and its use count (16 bits
//                 each); entry 0 holds the code page
//   _StringData   the strings, one after the other, without terminators
//   <Table>       one record per changed row: a 16-bit mask, then the key
//                 columns and the changed columns; string columns are indexes
//                 into this transform's own pool. A mask with the low bit set
//                 and the column count in its high byte adds a whole row.
//   \005SummaryInformation   what the transform applies to and how to check it
// Stream names of tables and of the string pool are compressed by Windows
// Installer's name encoding (below).
#include <windows.h>

#include <msi.h>
#include <msiquery.h>
#include <objbase.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "handles/unique_any.h"
#include "handles/win32_handles.h"

namespace {

constexpr CLSID kMsiTransformClass = {0x000C1082, 0x0000, 0x0000,
                                      {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr FMTID kSummaryInformation = {0xF29F85E0, 0x4FF9, 0x1068,
                                       {0xAB, 0x91, 0x08, 0x00, 0x2B, 0x27, 0xB3, 0xD9}};
// Validation (high word of the character count): the same product code, the
// same upgrade code and the same a.b.c version as the package it was made for.
constexpr LONG kValidateProduct = 0x0002;
constexpr LONG kValidateUpdateVersion = 0x0020;
constexpr LONG kValidateEqualBaseVersion = 0x0100;
constexpr LONG kValidateUpgradeCode = 0x0800;
constexpr LONG kValidation =
    kValidateProduct | kValidateUpdateVersion | kValidateEqualBaseVersion | kValidateUpgradeCode;
// The Property table: the key column and the value column, both strings.
constexpr WORD kPropertyColumns = 2;
constexpr WORD kValueColumnOnly = 0x0002;

using UniqueMsiHandle = lss::UniqueFunctionHandle<MSIHANDLE, &::MsiCloseHandle>;

struct Failure {
  std::string what;
};

void Check(HRESULT result, const char* what) {
  if (FAILED(result)) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(result));
    throw Failure{std::string(what) + " failed: " + code};
  }
}

void CheckMsi(UINT result, const char* what) {
  if (result != ERROR_SUCCESS) throw Failure{std::string(what) + " failed: " + std::to_string(result)};
}

// Windows Installer's stream names: table streams start with 0x4840; two
// characters of [0-9A-Za-z._] share one code unit (0x3800 + a + b * 64), a
// lone one takes 0x4800 + a; anything else stays as it is.
int NameDigit(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'A' && c <= L'Z') return c - L'A' + 10;
  if (c >= L'a' && c <= L'z') return c - L'a' + 36;
  if (c == L'.') return 62;
  if (c == L'_') return 63;
  return -1;
}

std::wstring TableStreamName(std::wstring_view table) {
  std::wstring name(1, wchar_t{0x4840});
  for (size_t i = 0; i < table.size(); ++i) {
    const int first = NameDigit(table[i]);
    if (first < 0) {
      name += table[i];
      continue;
    }
    const int second = i + 1 < table.size() ? NameDigit(table[i + 1]) : -1;
    if (second < 0) {
      name += static_cast<wchar_t>(0x4800 + first);
    } else {
      name += static_cast<wchar_t>(0x3800 + first + second * 64);
      ++i;
    }
  }
  return name;
}

// The value of a row of BASE's Property table; `found` says whether it has one.
std::wstring ReadProperty(MSIHANDLE database, const std::wstring& property, bool* found = nullptr) {
  UniqueMsiHandle view;
  CheckMsi(::MsiDatabaseOpenViewW(database, L"SELECT `Value` FROM `Property` WHERE `Property` = ?",
                                  view.put()),
           "MsiDatabaseOpenView");
  UniqueMsiHandle parameter(::MsiCreateRecord(1));
  ::MsiRecordSetStringW(parameter.get(), 1, property.c_str());
  CheckMsi(::MsiViewExecute(view.get(), parameter.get()), "MsiViewExecute");
  UniqueMsiHandle record;
  const bool exists = ::MsiViewFetch(view.get(), record.put()) == ERROR_SUCCESS;
  if (found != nullptr) *found = exists;
  if (!exists) {
    if (found != nullptr) return {};
    throw Failure{"the package has no property " + std::string(property.begin(), property.end())};
  }
  wchar_t value[256];
  DWORD size = 256;
  CheckMsi(::MsiRecordGetStringW(record.get(), 1, value, &size), "MsiRecordGetString");
  return value;
}

std::wstring ReadSummaryText(MSIHANDLE summary, UINT property) {
  UINT type = 0;
  INT number = 0;
  FILETIME time{};
  wchar_t text[256];
  DWORD size = 256;
  CheckMsi(::MsiSummaryInfoGetPropertyW(summary, property, &type, &number, &time, text, &size),
           "MsiSummaryInfoGetProperty");
  return type == VT_LPSTR ? text : L"";
}

INT ReadSummaryNumber(MSIHANDLE summary, UINT property) {
  UINT type = 0;
  INT number = 0;
  FILETIME time{};
  DWORD size = 0;
  CheckMsi(::MsiSummaryInfoGetPropertyW(summary, property, &type, &number, &time, nullptr, &size),
           "MsiSummaryInfoGetProperty");
  return number;
}

// What the transform needs to know of BASE.
struct Base {
  std::wstring productCode, productVersion, upgradeCode;
  std::wstring platformAndLanguage;  // "x64;1033"
  INT installerVersion = 0;
  bool hasProperty = false;          // BASE already has the property's row
  DWORD codePage = 0;                // of BASE's string pool
};

DWORD ReadCodePage(const std::wstring& msi) {
  lss::ComOwner<IStorage> storage;
  Check(::StgOpenStorage(msi.c_str(), nullptr, STGM_READ | STGM_SHARE_DENY_WRITE, nullptr, 0,
                         storage.put()),
        "StgOpenStorage");
  lss::ComOwner<IStream> pool;
  Check(storage.get()->OpenStream(TableStreamName(L"_StringPool").c_str(), nullptr,
                                  STGM_READ | STGM_SHARE_EXCLUSIVE, 0, pool.put()),
        "opening the string pool");
  DWORD header = 0;
  ULONG read = 0;
  Check(pool.get()->Read(&header, sizeof header, &read), "reading the string pool");
  // The top bit marks 3-byte string indexes, not the code page.
  return read == sizeof header ? header & 0x7FFFFFFF : 0;
}

Base ReadBase(const std::wstring& msi, const std::wstring& property) {
  Base base;
  {
    UniqueMsiHandle database;
    CheckMsi(::MsiOpenDatabaseW(msi.c_str(), MSIDBOPEN_READONLY, database.put()), "MsiOpenDatabase");
    base.productCode = ReadProperty(database.get(), L"ProductCode");
    base.productVersion = ReadProperty(database.get(), L"ProductVersion");
    base.upgradeCode = ReadProperty(database.get(), L"UpgradeCode");
    ReadProperty(database.get(), property, &base.hasProperty);
    UniqueMsiHandle summary;
    CheckMsi(::MsiGetSummaryInformationW(database.get(), nullptr, 0, summary.put()),
             "MsiGetSummaryInformation");
    base.platformAndLanguage = ReadSummaryText(summary.get(), PIDSI_TEMPLATE);
    base.installerVersion = ReadSummaryNumber(summary.get(), PIDSI_PAGECOUNT);
  }
  base.codePage = ReadCodePage(msi);
  return base;
}

void AppendWord(std::string& bytes, unsigned value) {
  bytes += static_cast<char>(value & 0xFF);
  bytes += static_cast<char>((value >> 8) & 0xFF);
}

void WriteStream(IStorage* storage, const std::wstring& name, const std::string& bytes) {
  lss::ComOwner<IStream> stream;
  Check(storage->CreateStream(name.c_str(), STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0,
                              stream.put()),
        "CreateStream");
  ULONG written = 0;
  Check(stream.get()->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written), "Write");
  if (written != bytes.size()) throw Failure{"a stream was written short"};
}

std::string Narrow(const std::wstring& text) {
  // Property names and the values this tool is given are ASCII.
  std::string narrow;
  for (const wchar_t c : text) {
    if (c < 0x20 || c > 0x7E) throw Failure{"only printable ASCII names and values are supported"};
    narrow += static_cast<char>(c);
  }
  return narrow;
}

PROPVARIANT Text(const std::string& text) {
  PROPVARIANT value{};
  value.vt = VT_LPSTR;
  value.pszVal = const_cast<char*>(text.c_str());
  return value;
}

PROPVARIANT Number(VARTYPE type, LONG number) {
  PROPVARIANT value{};
  value.vt = type;
  if (type == VT_I2) {
    value.iVal = static_cast<SHORT>(number);
  } else {
    value.lVal = number;
  }
  return value;
}

void WriteSummary(IStorage* storage, const Base& base) {
  lss::ComOwner<IPropertySetStorage> sets;
  Check(storage->QueryInterface(IID_IPropertySetStorage, reinterpret_cast<void**>(sets.put())),
        "IPropertySetStorage");
  lss::ComOwner<IPropertyStorage> summary;
  Check(sets.get()->Create(kSummaryInformation, nullptr, PROPSETFLAG_ANSI,
                           STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, summary.put()),
        "creating the summary information");
  // "{old product code}old version;{new product code}new version;{upgrade code}":
  // the transform does not change the product, so old and new are the same.
  const std::string product = Narrow(base.productCode + base.productVersion);
  const std::string revision = product + ";" + product + ";" + Narrow(base.upgradeCode);
  const std::string platform = Narrow(base.platformAndLanguage);
  const PROPID ids[] = {PID_CODEPAGE,    PIDSI_TITLE,     PIDSI_TEMPLATE, PIDSI_LASTAUTHOR,
                        PIDSI_REVNUMBER, PIDSI_PAGECOUNT, PIDSI_CHARCOUNT};
  const std::string title = "Transform";
  PROPVARIANT values[] = {Number(VT_I2, 1252),
                          Text(title),
                          Text(platform),  // the base package's platform;language
                          Text(platform),  // the result's: the same
                          Text(revision),
                          Number(VT_I4, base.installerVersion),
                          Number(VT_I4, kValidation << 16)};  // low word: no error ignored
  PROPSPEC specs[std::size(ids)];
  for (size_t i = 0; i < std::size(ids); ++i) {
    specs[i].ulKind = PRSPEC_PROPID;
    specs[i].propid = ids[i];
  }
  Check(summary.get()->WriteMultiple(static_cast<ULONG>(std::size(ids)), specs, values, 2),
        "writing the summary information");
  Check(summary.get()->Commit(STGC_DEFAULT), "committing the summary information");
}

void WriteTransform(const std::wstring& out, const Base& base, const std::wstring& property,
                    const std::wstring& value) {
  const std::string name = Narrow(property), text = Narrow(value);
  lss::ComOwner<IStorage> storage;
  Check(::StgCreateDocfile(out.c_str(),
                           STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_DIRECT, 0,
                           storage.put()),
        "StgCreateDocfile");
  Check(storage.get()->SetClass(kMsiTransformClass), "SetClass");

  // Strings 1 and 2: the property's name and its value, each used once.
  std::string pool, data = name + text;
  AppendWord(pool, base.codePage & 0xFFFF);
  AppendWord(pool, base.codePage >> 16);
  for (const std::string& string : {name, text}) {
    AppendWord(pool, static_cast<unsigned>(string.size()));
    AppendWord(pool, 1);
  }
  WriteStream(storage.get(), TableStreamName(L"_StringPool"), pool);
  WriteStream(storage.get(), TableStreamName(L"_StringData"), data);

  std::string row;
  AppendWord(row, base.hasProperty ? kValueColumnOnly : (kPropertyColumns << 8) | 1);
  AppendWord(row, 1);
  AppendWord(row, 2);
  WriteStream(storage.get(), TableStreamName(L"Property"), row);

  WriteSummary(storage.get(), base);
  Check(storage.get()->Commit(STGC_DEFAULT), "Commit");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring assignment = argc == 4 ? argv[3] : L"";
  const size_t equals = assignment.find(L'=');
  if (argc != 4 || equals == 0 || equals == std::wstring::npos) {
    std::fputs("usage: make_transform BASE.msi OUT.mst PROPERTY=VALUE\n", stderr);
    return 2;
  }
  if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
  int status = 0;
  try {
    const std::wstring property = assignment.substr(0, equals);
    const Base base = ReadBase(argv[1], property);
    WriteTransform(argv[2], base, property, assignment.substr(equals + 1));
  } catch (const Failure& failure) {
    std::fprintf(stderr, "make_transform: %s\n", failure.what.c_str());
    ::DeleteFileW(argv[2]);  // no half-written transform
    status = 1;
  }
  ::CoUninitialize();
  return status;
}
