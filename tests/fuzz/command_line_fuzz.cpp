// Any argument list: a value option takes exactly the next plain argument,
// only a flag's first letter counts, and nothing throws.
#include "app/scheduler_command_line_info.h"
#include "fuzz/fuzz_input.h"

namespace lss::fuzz {
namespace {

bool IsValueLetter(char16_t letter) { return letter == u'p' || letter == u'n' || letter == u'o'; }

// What the last `letter` option received: the first plain argument after it,
// unless another value option came first. Nothing when it never received one.
std::u16string ValueOf(char16_t letter, const std::vector<std::u16string>& argv) {
  std::u16string value;
  char16_t waiting = 0;
  for (std::size_t i = 1; i < argv.size(); ++i) {
    if (IsFlag(argv[i])) {
      if (IsValueLetter(FlagLetter(argv[i]))) waiting = FlagLetter(argv[i]);
    } else if (waiting != 0) {
      if (waiting == letter) value = argv[i];
      waiting = 0;
    }
  }
  return value;
}

}  // namespace
}  // namespace lss::fuzz

void lss::fuzz::TestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::u16string> argv{u"LSScheduler.exe"};
  for (std::u16string& argument : SplitLines(DecodeText(data, size))) argv.push_back(argument);

  lss::CSchedulerCommandLineInfo info;
  lss::ScanCommandLine(argv, info);
  Require(info.profileName == ValueOf(u'p', argv), "-p holds the plain argument after it");
  Require(info.taskName == ValueOf(u'n', argv), "-n holds the plain argument after it");
  Require(info.startOutlook == (HasFlag(u's', argv) ? 1 : 0), "-s sets startOutlook");
  Require(info.exitOutlook == (HasFlag(u'e', argv) ? 1 : 0), "-e sets exitOutlook");
  Require(info.recycle == 1, "recycle is always set");

  // Known flags cut to their first letter, in the other case, change nothing.
  std::vector<std::u16string> shortened = argv;
  for (std::size_t i = 1; i < shortened.size(); ++i) {
    const char16_t letter = FlagLetter(shortened[i]);
    if (IsFlag(shortened[i]) &&
        std::u16string_view(u"enoprs").find(letter) != std::u16string_view::npos) {
      shortened[i] = {shortened[i][0], char16_t(letter - 32)};
    }
  }
  lss::CSchedulerCommandLineInfo again;
  lss::ScanCommandLine(shortened, again);
  Require(again.startOutlook == info.startOutlook && again.exitOutlook == info.exitOutlook &&
              again.profileName == info.profileName && again.taskName == info.taskName &&
              again.outlookSwitches == info.outlookSwitches,
          "only a flag's first letter counts");
}
