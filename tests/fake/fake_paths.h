#pragma once
// How the fakes name a file or folder, as Windows does: '/' is read as '\',
// a run of separators as one, and letters match without regard to case. A
// folder has no separator at the end, so "C:\Logs", "C:/logs/" and
// "C:\\Logs" are one folder; a file keeps it, so "C:\a.log\" is no file. And how they match
// a listing's wildcards.
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

// A folder's name as given, without separators at its end.
inline std::u16string FolderName(std::u16string_view path) {
  while (!path.empty() && (path.back() == u'\\' || path.back() == u'/')) path.remove_suffix(1);
  return std::u16string(path);
}

// The parent folder's part of a path; empty when it has none.
inline std::u16string_view ParentOf(std::u16string_view path) {
  const std::size_t separator = path.find_last_of(u"\\/");
  return separator == std::u16string_view::npos ? std::u16string_view()
                                                : path.substr(0, separator);
}

// Win32's wildcards, without regard to case: * any run, ? any one character.
inline bool MatchesWildcard(std::u16string_view pattern, std::u16string_view name) {
  const auto fold = [](char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; };
  if (pattern.empty()) return name.empty();
  if (pattern.front() == u'*') {
    for (std::size_t skip = 0; skip <= name.size(); ++skip) {
      if (MatchesWildcard(pattern.substr(1), name.substr(skip))) return true;
    }
    return false;
  }
  return !name.empty() &&
         (pattern.front() == u'?' || fold(pattern.front()) == fold(name.front())) &&
         MatchesWildcard(pattern.substr(1), name.substr(1));
}

}  // namespace lss::test
