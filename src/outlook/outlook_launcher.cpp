#include "outlook/outlook_launcher.h"

#include "diag/run_log_entries.h"
#include "diag/text_format.h"
#include "outlook/registry_reader.h"

namespace lss {

namespace {

constexpr std::u16string_view kAppPathsKey =
    u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\OUTLOOK.EXE";
constexpr std::u16string_view kPathValue = u"Path";
constexpr std::u16string_view kOutlookExe = u"OUTLOOK.EXE";

constexpr std::u16string_view kProfileSwitch = u" /profile %s";
constexpr std::u16string_view kRecycleSwitch = u" /recycle";

struct LaunchError {
  std::uint32_t code;
  std::u16string_view text;
};

constexpr LaunchError kLaunchErrors[] = {
    {0, u"The operating system is out\nof memory or resources."},
    {2, u"The specified file was not found."},
    {3, u"The specified path was not found."},
    {5, u"The operating system denied\naccess to the specified file."},
    {8, u"There was not enough memory to complete the operation."},
    {11, u"The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
    {26, u"A sharing violation occurred. "},
    {27, u"The filename association is\nincomplete or invalid."},
    {28, u"The DDE transaction could not\nbe completed because the request timed out."},
    {29, u"The DDE transaction failed."},
    {30, u"The DDE transaction could not\nbe completed because other DDE transactions\nwere "
         u"being processed."},
    {31, u"There is no application associated\nwith the given filename extension."},
    {32, u"The specified dynamic-link library was not found."},
};
constexpr std::u16string_view kUnknownLaunchError = u"Unknown Error (%d) occurred.";

constexpr std::int32_t kHighestShellError = 32;

}  // namespace

OutlookLocation LocateOutlook(Registry& registry) {
  OutlookLocation found;
  RegKey key = kNoKey;
  found.status = registry.OpenKey(kLocalMachine, kAppPathsKey, reg::kKeyRead, &key);
  if (found.status != 0) {
    return found;  // kNoEntry
  }
  CRegistry reader(registry);
  reader.Attach(key);
  const bool read = reader.ReadStringValue(kPathValue, found.folder);
  found.status = reader.lastResult();
  found.type = reader.lastType();
  if (!read) {
    using Result = OutlookLocation::Result;
    found.result = found.status == win32_error::kFileNotFound ? Result::kNoValue
                   : found.status != 0                        ? Result::kUnreadable
                                                              : Result::kNotText;
    found.folder.clear();
    return found;
  }
  found.result = OutlookLocation::Result::kFound;
  found.path = found.folder + std::u16string(kOutlookExe);
  return found;
}

bool FindOutlookPath(Registry& registry, std::u16string& path) {
  OutlookLocation found = LocateOutlook(registry);
  if (found.result != OutlookLocation::Result::kFound) {
    return false;
  }
  path = std::move(found.path);
  return true;
}

std::u16string QuoteCommandLineArgument(std::u16string_view argument) {
  if (argument.find_first_of(u" \t\"") == std::u16string_view::npos) {
    return std::u16string(argument);
  }
  // Backslashes count only before a quote: 2n (+1 for a literal quote) there.
  std::u16string quoted(1, u'"');
  std::size_t backslashes = 0;
  for (const char16_t c : argument) {
    if (c == u'\\') {
      ++backslashes;
      continue;
    }
    if (c == u'"') {
      quoted.append(backslashes * 2 + 1, u'\\');
    } else {
      quoted.append(backslashes, u'\\');
    }
    backslashes = 0;
    quoted.push_back(c);
  }
  quoted.append(backslashes * 2, u'\\');
  quoted.push_back(u'"');
  return quoted;
}

std::u16string ComposeOutlookParameters(const OutlookLaunchRequest& request) {
  std::u16string parameters;
  if (!request.profileName.empty()) {
    parameters += FormatText(kProfileSwitch, {QuoteCommandLineArgument(request.profileName)});
  }
  if (request.recycle) {
    parameters += kRecycleSwitch;
  }
  if (!request.switches.empty()) {
    parameters += u' ';
    parameters += request.switches;
  }
  return parameters;
}

std::u16string LaunchErrorText(std::int32_t code) {
  const auto unsignedCode = static_cast<std::uint32_t>(code);
  for (const LaunchError& error : kLaunchErrors) {
    if (error.code == unsignedCode) {
      return std::u16string(error.text);
    }
  }
  return FormatText(kUnknownLaunchError, {code});
}

void ReportLaunchError(RunLog& log, std::u16string_view commandText, std::int32_t code) {
  log.Write(FormatText(kStartOutlookError, {commandText, LaunchErrorText(code)}));
}

LaunchResult OutlookLauncher::Launch(const OutlookLaunchRequest& request,
                                     std::uint32_t waitMilliseconds) {
  std::u16string outlookPath;
  if (!FindOutlookPath(registry_, outlookPath)) {
    log_.Write(kCantFindOutlook);
    return LaunchResult::kFailed;
  }
  const std::u16string parameters = ComposeOutlookParameters(request);
  const std::u16string commandText = outlookPath + parameters;
  log_.Write(FormatText(kStartingOutlook, {commandText}));

  const auto code = static_cast<std::int32_t>(
      static_cast<std::uint32_t>(shell_.Execute(outlookPath, parameters)));
  if (code > kHighestShellError) {
    log_.Write(kWaitingForOutlook);
    clock_.Sleep(waitMilliseconds);
    return LaunchResult::kStarted;
  }
  ReportLaunchError(log_, commandText, code);
  return LaunchResult::kFailed;
}

}  // namespace lss
