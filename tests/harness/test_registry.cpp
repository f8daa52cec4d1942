#include "harness/test_registry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <iomanip>
#include <iterator>
#include <stdexcept>

#include "handles/win32_handles.h"
#include "harness/text.h"

namespace e2e {
namespace {

[[noreturn]] void Fail(const char* what, std::wstring_view key, LSTATUS status) {
  throw std::runtime_error(std::string(what) + " " + ToUtf8(key) + " failed with " +
                           std::to_string(status));
}

// Opens `key` for reading its values; false when it does not exist.
bool OpenToQuery(HKEY root, std::wstring_view key, lss::UniqueHkey& handle) {
  const LSTATUS status =
      ::RegOpenKeyExW(root, std::wstring(key).c_str(), 0, KEY_QUERY_VALUE, handle.put());
  if (status == ERROR_FILE_NOT_FOUND) return false;
  if (status != ERROR_SUCCESS) Fail("opening", key, status);
  return true;
}

RegValue Text(DWORD type, std::wstring_view text) {
  RegValue value{type, {}};
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  value.data.assign(bytes, bytes + text.size() * sizeof(wchar_t));
  value.data.push_back(0);
  value.data.push_back(0);
  return value;
}

const char* TypeName(DWORD type) {
  switch (type) {
    case REG_NONE: return "REG_NONE";
    case REG_SZ: return "REG_SZ";
    case REG_EXPAND_SZ: return "REG_EXPAND_SZ";
    case REG_BINARY: return "REG_BINARY";
    case REG_DWORD: return "REG_DWORD";
    case REG_MULTI_SZ: return "REG_MULTI_SZ";
    case REG_QWORD: return "REG_QWORD";
    default: return "REG_?";
  }
}

}  // namespace

RegValue RegValue::Dword(std::uint32_t number) {
  RegValue value{REG_DWORD, std::vector<std::uint8_t>(4)};
  std::memcpy(value.data.data(), &number, 4);
  return value;
}

RegValue RegValue::Sz(std::wstring_view text) { return Text(REG_SZ, text); }
RegValue RegValue::ExpandSz(std::wstring_view text) { return Text(REG_EXPAND_SZ, text); }
RegValue RegValue::Binary(std::vector<std::uint8_t> bytes) {
  return RegValue{REG_BINARY, std::move(bytes)};
}

void PrintTo(const RegValue& value, std::ostream* out) {
  *out << TypeName(value.type) << "(" << value.type << ")";
  if (value.type == REG_DWORD && value.data.size() == 4) {
    std::uint32_t number = 0;
    std::memcpy(&number, value.data.data(), 4);
    *out << " 0x" << std::hex << std::setw(8) << std::setfill('0') << number << std::dec
         << std::setfill(' ');
  } else if ((value.type == REG_SZ || value.type == REG_EXPAND_SZ) && value.data.size() % 2 == 0) {
    std::wstring text(value.data.size() / 2, L'\0');
    std::memcpy(text.data(), value.data.data(), value.data.size());
    *out << " \"" << ToUtf8(text.substr(0, text.find(L'\0'))) << "\"";
  }
  *out << " (" << value.data.size() << " bytes:";
  for (const std::uint8_t byte : value.data) {
    *out << " " << std::hex << std::setw(2) << std::setfill('0') << static_cast<int>(byte)
         << std::dec << std::setfill(' ');
  }
  *out << ")";
}

void SetValue(HKEY root, std::wstring_view key, std::wstring_view name, const RegValue& value) {
  // Creates the key when it is missing.
  const LSTATUS status = ::RegSetKeyValueW(
      root, std::wstring(key).c_str(), std::wstring(name).c_str(), value.type,
      value.data.empty() ? nullptr : value.data.data(), static_cast<DWORD>(value.data.size()));
  if (status != ERROR_SUCCESS) Fail("setting a value of", key, status);
}

std::optional<RegValue> ReadValue(HKEY root, std::wstring_view key, std::wstring_view name) {
  lss::UniqueHkey handle;
  if (!OpenToQuery(root, key, handle)) return std::nullopt;
  const std::wstring valueName(name);
  for (;;) {
    DWORD type = REG_NONE;
    DWORD size = 0;
    LSTATUS status =
        ::RegQueryValueExW(handle.get(), valueName.c_str(), nullptr, &type, nullptr, &size);
    if (status == ERROR_FILE_NOT_FOUND) return std::nullopt;
    if (status != ERROR_SUCCESS) Fail("querying a value of", key, status);
    RegValue value{type, std::vector<std::uint8_t>(size)};
    status = ::RegQueryValueExW(handle.get(), valueName.c_str(), nullptr, &type,
                                value.data.empty() ? nullptr : value.data.data(), &size);
    if (status == ERROR_MORE_DATA) continue;  // it grew in between
    if (status != ERROR_SUCCESS) Fail("reading a value of", key, status);
    value.type = type;
    value.data.resize(size);
    return value;
  }
}

void DeleteKeyTree(HKEY root, std::wstring_view key) {
  const std::wstring path(key);
  const LSTATUS status = ::RegDeleteTreeW(root, path.c_str());
  if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) {
    // RegDeleteTreeW empties the key; the key itself goes with RegDeleteKeyW.
    const LSTATUS removed = ::RegDeleteKeyW(root, path.c_str());
    if (removed == ERROR_SUCCESS || removed == ERROR_FILE_NOT_FOUND) return;
    Fail("deleting", key, removed);
  }
  Fail("deleting the tree of", key, status);
}

void DeleteValue(HKEY root, std::wstring_view key, std::wstring_view name) {
  const LSTATUS status =
      ::RegDeleteKeyValueW(root, std::wstring(key).c_str(), std::wstring(name).c_str());
  if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
    Fail("deleting a value of", key, status);
  }
}

bool KeyExists(HKEY root, std::wstring_view key) {
  lss::UniqueHkey handle;
  return OpenToQuery(root, key, handle);
}

namespace {

// The names of the key's subkeys or values, in the registry's order.
std::vector<std::wstring> Names(HKEY root, std::wstring_view key, bool subkeys) {
  lss::UniqueHkey handle;
  const LSTATUS opened =
      ::RegOpenKeyExW(root, std::wstring(key).c_str(), 0, KEY_READ, handle.put());
  if (opened != ERROR_SUCCESS) Fail("opening", key, opened);
  std::vector<std::wstring> names;
  for (DWORD index = 0;; ++index) {
    wchar_t name[16384];
    DWORD length = static_cast<DWORD>(std::size(name));
    const LSTATUS status = subkeys ? ::RegEnumKeyExW(handle.get(), index, name, &length, nullptr,
                                                     nullptr, nullptr, nullptr)
                                   : ::RegEnumValueW(handle.get(), index, name, &length, nullptr,
                                                     nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) return names;
    if (status != ERROR_SUCCESS) Fail("listing the names in", key, status);
    names.emplace_back(name, length);
  }
}

void DumpInto(HKEY root, const std::wstring& key, std::string& out) {
  out.append("[").append(ToUtf8(key)).append("]\n");
  for (const std::wstring& name : Names(root, key, false)) {
    out += ToUtf8(name) + " " + ::testing::PrintToString(*ReadValue(root, key, name)) + "\n";
  }
  for (const std::wstring& child : Names(root, key, true)) DumpInto(root, key + L"\\" + child, out);
}

}  // namespace

std::vector<std::wstring> ValueNames(HKEY root, std::wstring_view key) {
  return Names(root, key, false);
}

std::string DumpKeyTree(HKEY root, std::wstring_view key) {
  if (!KeyExists(root, key)) return "(no key)";
  std::string out;
  DumpInto(root, std::wstring(key), out);
  return out;
}

}  // namespace e2e
