#include "check/check_tool.h"

#include "check/check_output.h"
#include "check/last_run.h"
#include "check/readiness_checks.h"
#include "diag/text_format.h"
#include "settings/setting_names.h"
#include "settings/settings_store.h"

namespace lss {

namespace {

constexpr std::int32_t kMostHours = 876000;  // a hundred years

constexpr std::u16string_view kUsage =
    u"Usage: LSSchedulerCheck [--json] [--max-age-hours N]\n"
    u"       LSSchedulerCheck --help | --version\n"
    u"\n"
    u"Checks whether scheduled runs of LSScheduler.exe will work for this user, and\n"
    u"judges the last run from its log. Changes nothing.\n"
    u"\n"
    u"  --json              print the result as one JSON object\n"
    u"  --max-age-hours N   fail when the newest run started more than N hours ago\n"
    u"  --help              print this text\n"
    u"  --version           print the program's version\n"
    u"\n"
    u"Exit code: 0 all OK, 1 a warning, 2 a failure, 64 wrong arguments.\n";
constexpr std::u16string_view kUnknownOption = u"unknown option: %s";
constexpr std::u16string_view kUnexpectedArgument = u"unexpected argument: %s";
constexpr std::u16string_view kBadHours =
    u"--max-age-hours needs a whole number of hours from 1 to 876000, not \"%s\"";
constexpr std::u16string_view kMissingHours = u"--max-age-hours needs a number of hours";
constexpr std::u16string_view kErrorLine =
    u"LSSchedulerCheck: %s\nTry 'LSSchedulerCheck --help'.\n";
constexpr std::u16string_view kVersionLine = u"LSSchedulerCheck %s\n";
constexpr std::u16string_view kNoVersion = u"(no version resource)";

constexpr std::u16string_view kMaxAgeOption = u"--max-age-hours";

std::optional<std::int32_t> ParseHours(std::u16string_view text) {
  if (text.empty() || text.size() > 6) return std::nullopt;
  std::int32_t hours = 0;
  for (const char16_t c : text) {
    if (c < u'0' || c > u'9') return std::nullopt;
    hours = hours * 10 + (c - u'0');
  }
  if (hours < 1 || hours > kMostHours) return std::nullopt;
  return hours;
}

}  // namespace

CheckOptions ParseCheckOptions(const std::vector<std::u16string>& arguments) {
  CheckOptions options;
  for (std::size_t i = 0; i < arguments.size() && options.error.empty(); ++i) {
    const std::u16string& argument = arguments[i];
    if (argument == u"--json") {
      options.json = true;
    } else if (argument == u"--help" || argument == u"-h" || argument == u"/?") {
      options.help = true;
    } else if (argument == u"--version") {
      options.version = true;
    } else if (argument == kMaxAgeOption ||
               argument.rfind(std::u16string(kMaxAgeOption) + u"=", 0) == 0) {
      std::u16string value;
      if (argument.size() > kMaxAgeOption.size()) {
        value = argument.substr(kMaxAgeOption.size() + 1);
      } else if (i + 1 < arguments.size()) {
        value = arguments[++i];
      } else {
        options.error = kMissingHours;
        break;
      }
      options.maxAgeHours = ParseHours(value);
      if (!options.maxAgeHours) options.error = FormatText(kBadHours, {value});
    } else if (!argument.empty() && (argument[0] == u'-' || argument[0] == u'/')) {
      options.error = FormatText(kUnknownOption, {argument});
    } else {
      options.error = FormatText(kUnexpectedArgument, {argument});
    }
  }
  return options;
}

std::vector<CheckResult> RunAllChecks(Platform& os, const CheckOptions& options) {
  // Read-only: a check never creates the keys that a run would.
  SettingsStore settings(kApplicationName, SettingsStore::Access::kReadOnly);
  settings.SetSettingsRoot(os.registry, kVendorKey);
  CheckContext context{os, settings};
  return {
      CheckOutlook(context),   CheckMapi(context),
      CheckLogFolder(context), CheckWaitSeconds(context),
      CheckToolbar(context),   CheckOutlookRunning(context),
      CheckSyncNow(context),   CheckLastRun(context, options.maxAgeHours),
  };
}

int RunCheckTool(Platform& os, Console& console, std::u16string_view version) {
  std::vector<std::u16string> arguments = os.process.Arguments();
  if (!arguments.empty()) arguments.erase(arguments.begin());  // the program's own path
  const CheckOptions options = ParseCheckOptions(arguments);
  if (!options.error.empty()) {
    console.Write(OutputStream::kError, FormatText(kErrorLine, {options.error}));
    return kUsageExitCode;
  }
  if (options.help) {
    console.Write(OutputStream::kOutput, kUsage);
    return 0;
  }
  if (options.version) {
    console.Write(OutputStream::kOutput,
                  FormatText(kVersionLine, {version.empty() ? kNoVersion : version}));
    return 0;
  }
  const std::vector<CheckResult> results = RunAllChecks(os, options);
  console.Write(OutputStream::kOutput,
                options.json ? FormatJson(results, version) : FormatTable(results));
  return ExitCodeOf(Verdict(results));
}

}  // namespace lss
