#include "diag/command_line_split.h"

namespace lss {

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

// The arguments after the program's name, from `at` on.
void SplitRest(std::u16string_view line, std::size_t at, std::vector<std::u16string>& split) {
  for (;;) {
    while (at < line.size() && IsBlank(line[at])) ++at;
    if (at == line.size()) return;
    std::u16string argument;
    bool quoted = false;
    while (at < line.size() && (quoted || !IsBlank(line[at]))) {
      std::size_t backslashes = 0;
      while (at < line.size() && line[at] == u'\\') {
        ++backslashes;
        ++at;
      }
      if (at == line.size() || line[at] != u'"') {
        argument.append(backslashes, u'\\');
        if (backslashes == 0) argument += line[at++];
        continue;
      }
      argument.append(backslashes / 2, u'\\');
      ++at;
      if (backslashes % 2 == 1) {
        argument += u'"';
      } else if (quoted && at < line.size() && line[at] == u'"') {
        argument += u'"';  // "" inside quotes: a quote, and the quoting ends
        ++at;
        quoted = false;
      } else {
        quoted = !quoted;
      }
    }
    split.push_back(std::move(argument));
  }
}

}  // namespace

std::vector<std::u16string> SplitCommandLine(std::u16string_view line) {
  std::vector<std::u16string> split;
  if (line.empty()) return split;
  std::size_t at = 0;
  if (line.front() == u'"') {
    const std::size_t close = line.find(u'"', 1);
    const std::size_t end = close == std::u16string_view::npos ? line.size() : close;
    split.emplace_back(line.substr(1, end - 1));
    at = close == std::u16string_view::npos ? line.size() : close + 1;
  } else {
    while (at < line.size() && !IsBlank(line[at])) ++at;
    split.emplace_back(line.substr(0, at));
  }
  SplitRest(line, at, split);
  return split;
}

std::vector<std::u16string> SplitArguments(std::u16string_view arguments) {
  std::vector<std::u16string> split;
  SplitRest(arguments, 0, split);
  return split;
}

}  // namespace lss
