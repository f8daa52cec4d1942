#include "app/scheduler_command_line_info.h"

namespace lss {

namespace {

char16_t ToLowerAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c; }

}  // namespace

void CSchedulerCommandLineInfo::ParseParam(std::u16string_view text, bool isFlag, bool /*isLast*/) {
  if (!isFlag) {
    if (pendingValue != nullptr) {
      pendingValue->assign(text);
      pendingValue = nullptr;
    }
    return;
  }
  if (text.empty()) {
    return;  // a lone '-' or '/': a pending value still waits
  }
  switch (ToLowerAscii(text.front())) {
    case u'e': exitOutlook = 1; break;
    case u'n': pendingValue = &taskName; break;
    case u'o': pendingValue = &outlookSwitches; break;
    case u'p': pendingValue = &profileName; break;
    case u'r': recycle = 1; break;
    case u's': startOutlook = 1; break;
    default: PassOnToOutlook(text); break;
  }
}

void CSchedulerCommandLineInfo::PassOnToOutlook(std::u16string_view flag) {
  if (!outlookSwitches.empty()) {
    outlookSwitches += u' ';
  }
  outlookSwitches += u'/';
  outlookSwitches += flag;
}

void ScanCommandLine(const std::vector<std::u16string>& arguments, CCommandLineInfo& info) {
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    std::u16string_view argument = arguments[i];
    const bool isFlag = !argument.empty() && (argument.front() == u'-' || argument.front() == u'/');
    if (isFlag) {
      argument.remove_prefix(1);
    }
    info.ParseParam(argument, isFlag, i + 1 == arguments.size());
  }
}

}  // namespace lss
