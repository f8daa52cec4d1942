#pragma once
// How the fakes name things as Windows does. Registry keys and values,
// environment variables, programs and files match without regard to case
// (A-Z only). For a file or folder, '/' is read as '\' and a run of
// separators as one. A folder has no separator at the end, so "C:\Logs",
// "C:/logs/" and "C:\\Logs" are one folder; a file keeps it, so "C:\a.log\"
// is no file. A path given with the long-path prefix "\\?\C:\..." names the
// same file as without it. And how they match a listing's wildcards.
#include <string>
#include <string_view>

namespace lss::test {

inline char16_t UpperCase(char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; }

inline std::u16string Upper(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out) c = UpperCase(c);
  return out;
}

inline std::u16string PathKey(std::u16string_view path) {
  constexpr std::u16string_view kLongPathPrefix = u"\\\\?\\";
  if (path.starts_with(kLongPathPrefix)) path.remove_prefix(kLongPathPrefix.size());
  std::u16string key;
  for (const char16_t unit : path) {
    const char16_t normal = unit == u'/' ? u'\\' : UpperCase(unit);
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
  return separator == std::u16string_view::npos ? std::u16string_view() : path.substr(0, separator);
}

// Win32's wildcards, without regard to case: * any run, ? any one character.
inline bool MatchesWildcard(std::u16string_view pattern, std::u16string_view name) {
  if (pattern.empty()) return name.empty();
  if (pattern.front() == u'*') {
    for (std::size_t skip = 0; skip <= name.size(); ++skip) {
      if (MatchesWildcard(pattern.substr(1), name.substr(skip))) return true;
    }
    return false;
  }
  return !name.empty() &&
         (pattern.front() == u'?' || UpperCase(pattern.front()) == UpperCase(name.front())) &&
         MatchesWildcard(pattern.substr(1), name.substr(1));
}

}  // namespace lss::test
