// Any profile name survives Outlook's command line: splitting the composed
// parameters by the Windows argument rules gives /profile, the name, /recycle.
#include "fuzz/fuzz_input.h"
#include "outlook/outlook_launcher.h"

namespace lss::fuzz {
namespace {

// The argument rules of the C runtime and CommandLineToArgvW, for every
// argument after the program's own name: blanks and tabs outside quotes
// separate; 2n backslashes and a quote give n backslashes and toggle quoting;
// 2n+1 backslashes and a quote give n backslashes and a literal quote;
// backslashes before anything else are literal.
std::vector<std::u16string> SplitArguments(std::u16string_view line) {
  std::vector<std::u16string> arguments;
  std::size_t i = 0;
  for (;;) {
    while (i < line.size() && (line[i] == u' ' || line[i] == u'\t')) ++i;
    if (i == line.size()) return arguments;
    std::u16string argument;
    bool quoted = false;
    while (i < line.size() && (quoted || (line[i] != u' ' && line[i] != u'\t'))) {
      std::size_t backslashes = 0;
      while (i < line.size() && line[i] == u'\\') {
        ++backslashes;
        ++i;
      }
      if (i < line.size() && line[i] == u'"') {
        argument.append(backslashes / 2, u'\\');
        if (backslashes % 2 == 1) {
          argument.push_back(u'"');
        } else {
          quoted = !quoted;
        }
        ++i;
      } else {
        argument.append(backslashes, u'\\');
        if (backslashes == 0) argument.push_back(line[i++]);
      }
    }
    arguments.push_back(std::move(argument));
  }
}

}  // namespace
}  // namespace lss::fuzz

void lss::fuzz::TestOneInput(const std::uint8_t* data, std::size_t size) {
  lss::OutlookLaunchRequest request;
  request.profileName = DecodeText(data, size);
  // A command line ends at its first NUL, and no argument can carry one.
  if (request.profileName.empty() || request.profileName.find(u'\0') != std::u16string::npos) {
    return;
  }
  const std::vector<std::u16string> expected{u"/profile", request.profileName, u"/recycle"};
  Require(SplitArguments(lss::ComposeOutlookParameters(request)) == expected,
          "the split parameters are /profile, the exact name, /recycle");
}
