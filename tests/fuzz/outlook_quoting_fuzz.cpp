// Any profile name survives Outlook's command line: splitting the composed
// parameters by the Windows argument rules gives /profile, the name, /recycle.
#include "diag/command_line_split.h"
#include "fuzz/fuzz_input.h"
#include "outlook/outlook_launcher.h"

void lss::fuzz::TestOneInput(const std::uint8_t* data, std::size_t size) {
  lss::OutlookLaunchRequest request;
  request.profileName = DecodeText(data, size);
  // A command line ends at its first NUL, and no argument can carry one.
  if (request.profileName.empty() || request.profileName.find(u'\0') != std::u16string::npos) {
    return;
  }
  const std::vector<std::u16string> expected{u"/profile", request.profileName, u"/recycle"};
  Require(lss::SplitArguments(lss::ComposeOutlookParameters(request)) == expected,
          "the split parameters are /profile, the exact name, /recycle");
}
