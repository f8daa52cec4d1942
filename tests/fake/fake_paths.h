#pragma once
// How the fakes name a folder: one backslash between levels and none at the
// end, so "C:\Logs", "C:/Logs/" and "C:\\Logs" are one folder, as on Windows.
#include <string>
#include <string_view>

namespace lss::test {

inline std::u16string FolderKey(std::u16string_view path) {
  std::u16string key;
  for (const char16_t unit : path) {
    const char16_t normal = unit == u'/' ? u'\\' : unit;
    if (normal == u'\\' && !key.empty() && key.back() == u'\\') continue;
    key.push_back(normal);
  }
  while (!key.empty() && key.back() == u'\\') key.pop_back();
  return key;
}

}  // namespace lss::test
