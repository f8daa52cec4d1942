#pragma once
// A command line split into arguments by Windows' own rules (those of
// CommandLineToArgvW), so the check reads a task's arguments as the program
// it starts will receive them, on any host.
#include <string>
#include <string_view>
#include <vector>

namespace lss {

// The whole command line, the program's name first. The name ends at the
// first blank, or when it starts with a quote at the next quote, and its
// backslashes are plain characters; a line that starts with a blank has an
// empty name. After it, blanks (space, tab) outside quotes separate; 2n
// backslashes and a quote give n backslashes and toggle quoting; 2n+1
// backslashes and a quote give n backslashes and a literal quote; inside
// quotes, "" gives a literal quote and ends the quoting; other backslashes
// are plain. Empty for an empty line (where CommandLineToArgvW would give
// the calling program's own path).
std::vector<std::u16string> SplitCommandLine(std::u16string_view line);

// The arguments of a command line without its program name (a task action's
// arguments): as SplitCommandLine gives them after a name. Empty for an
// empty or blank text.
std::vector<std::u16string> SplitArguments(std::u16string_view arguments);

}  // namespace lss
