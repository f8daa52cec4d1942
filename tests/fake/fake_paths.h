#pragma once
// How the fakes name a file or folder, as Windows does: '/' is read as '\',
// a run of separators as one, and letters match without regard to case. A
// folder has no separator at the end, so "C:\Logs", "C:/logs/" and
// "C:\\Logs" are one folder; a file keeps it, so "C:\a.log\" is no file.
#include <string>
#include <string_view>

namespace lss::test {

inline std::u16string PathKey(std::u16string_view path) {
  std::u16string key;
  for (const char16_t unit : path) {
    char16_t normal = unit == u'/' ? u'\\' : unit;
    if (normal >= u'a' && normal <= u'z') normal = char16_t(normal - 32);
    if (normal == u'\\' && !key.empty() && key.back() == u'\\') continue;
    key.push_back(normal);
  }
  return key;
}

inline std::u16string FolderKey(std::u16string_view path) {
  std::u16string key = PathKey(path);
  while (!key.empty() && key.back() == u'\\') key.pop_back();
  return key;
}

}  // namespace lss::test
