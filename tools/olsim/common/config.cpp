#include "common/config.h"

#include <cwchar>

#include "common/registry_values.h"

namespace olsim {
namespace {

constexpr wchar_t kConfigKey[] = L"Software\\Olsim";

HRESULT ParseResult(std::wstring item) {
  const auto first = item.find_first_not_of(L" \t");
  if (first == std::wstring::npos) return S_OK;
  item = item.substr(first, item.find_last_not_of(L" \t") - first + 1);
  wchar_t* end = nullptr;
  long long value = 0;
  if (item.size() > 2 && item[0] == L'0' && (item[1] == L'x' || item[1] == L'X')) {
    value = static_cast<long long>(std::wcstoull(item.c_str() + 2, &end, 16));
  } else {
    value = std::wcstoll(item.c_str(), &end, 10);
  }
  if (end == nullptr || *end != L'\0') return S_OK;
  return static_cast<HRESULT>(static_cast<unsigned long>(value));
}

}  // namespace

std::vector<HRESULT> ParseResultList(const std::wstring& text) {
  std::vector<HRESULT> results;
  if (text.find_first_not_of(L" \t") == std::wstring::npos) return results;
  size_t start = 0;
  for (;;) {
    const size_t comma = text.find(L',', start);
    results.push_back(ParseResult(text.substr(start, comma - start)));
    if (comma == std::wstring::npos) break;
    start = comma + 1;
  }
  return results;
}

Config ReadConfig() {
  Config config;
  const auto dword = [](const wchar_t* name, DWORD fallback) {
    return ReadDword(HKEY_CURRENT_USER, kConfigKey, name).value_or(fallback);
  };
  config.journalPath = ReadString(HKEY_CURRENT_USER, kConfigKey, L"JournalPath").value_or(L"");
  config.stayMilliseconds = dword(L"StayMilliseconds", config.stayMilliseconds);
  config.syncDelayMilliseconds = dword(L"SyncDelayMilliseconds", 0);
  config.syncMilliseconds = dword(L"SyncMilliseconds", 0);
  config.abandonMutex = dword(L"AbandonMutex", 0) != 0;
  config.setAutoRunExit = dword(L"SetAutoRunExit", 0);
  config.initResults =
      ParseResultList(ReadString(HKEY_CURRENT_USER, kConfigKey, L"InitResults").value_or(L""));
  config.logonResult = static_cast<HRESULT>(dword(L"LogonResult", 0));
  config.logoffResult = static_cast<HRESULT>(dword(L"LogoffResult", 0));
  return config;
}

}  // namespace olsim
