#include "check/check_tool.h"

#include <algorithm>
#include <optional>

#include "check/check_context.h"
#include "check/check_events.h"
#include "check/check_facts.h"
#include "check/check_output.h"
#include "check/support_bundle.h"
#include "diag/text_format.h"

namespace lss {

namespace {

constexpr std::int32_t kMostHours = 876000;  // a hundred years

constexpr std::u16string_view kUsage =
    u"Usage: LSSchedulerCheck [--json | --quiet] [--only ID[,ID...]] [--task NAME]\n"
    u"                        [--max-age-hours N] [--eventlog]\n"
    u"       LSSchedulerCheck --help | --version\n"
    u"\n"
    u"Checks whether scheduled runs of LSScheduler.exe will work for this user, and\n"
    u"judges the last scheduled run from its log and its task. Changes nothing.\n"
    u"\n"
    u"  --json              print the result as one JSON object\n"
    u"  --quiet             print one line: the verdict and the worst finding\n"
    u"  --only ID[,ID...]   run only these checks: outlook, mapi, log-folder,\n"
    u"                      wait-seconds, toolbar, outlook-running, sync-now, task,\n"
    u"                      last-run\n"
    u"  --task NAME         the scheduled task that starts the runs (default: the\n"
    u"                      TaskName the MSI recorded, else \"Larkspan Nightly\";\n"
    u"                      \\Folder\\Name for one in a folder)\n"
    u"  --max-age-hours N   fail when the last scheduled run started more than N hours\n"
    u"                      ago\n"
    u"  --eventlog          also write the verdict and every finding that is not OK to\n"
    u"                      the Application log (source LSScheduler, event 1000 OK,\n"
    u"                      1001 WARN, 1002 FAIL)\n"
    u"  --collect FOLDER    run every check and write a support bundle into FOLDER,\n"
    u"                      a new or empty folder: check.json, check.txt, the newest\n"
    u"                      10 run logs, settings.reg (the user's settings, for\n"
    u"                      reg import), task.xml and machine.txt (versions and\n"
    u"                      paths). No mail data, no profile contents.\n"
    u"  --help              print this text\n"
    u"  --version           print the program's version\n"
    u"\n"
    u"Statuses: OK; INFO, a fact that needs nothing done; WARN; FAIL.\n"
    u"Exit code: 0 all OK, 1 a warning, 2 a failure, 64 wrong arguments (or a\n"
    u"--collect folder that is not new or empty), 74 a bundle file not written.\n";
constexpr std::u16string_view kUnknownOption = u"unknown option: %s";
constexpr std::u16string_view kUnexpectedArgument = u"unexpected argument: %s";
constexpr std::u16string_view kBadHours =
    u"--max-age-hours needs a whole number of hours from 1 to 876000, not \"%s\"";
constexpr std::u16string_view kMissingValue = u"%s needs %s";
constexpr std::u16string_view kUnknownCheck = u"unknown check \"%s\"; the checks are: %s";
constexpr std::u16string_view kJsonAndQuiet = u"--json and --quiet cannot be combined";
constexpr std::u16string_view kCollectAlone =
    u"--collect runs every check and writes both reports: it cannot be combined with --json, "
    u"--quiet, --only or --eventlog";
constexpr std::u16string_view kErrorLine =
    u"LSSchedulerCheck: %s\nTry 'LSSchedulerCheck --help'.\n";
constexpr std::u16string_view kVersionLine = u"LSSchedulerCheck %s\n";
constexpr std::u16string_view kNoVersion = u"(no version resource)";

constexpr std::u16string_view kEventLogId = u"eventlog";
constexpr std::u16string_view kEventNotWritten =
    u"The verdict could not be written to the Application log: %s.";

struct ValueOption {
  std::u16string_view name;
  std::u16string_view what;  // for the error when the value is missing
};
constexpr ValueOption kMaxAgeOption{u"--max-age-hours", u"a number of hours"};
constexpr ValueOption kTaskOption{u"--task", u"a task name"};
constexpr ValueOption kOnlyOption{u"--only", u"a list of check ids"};
constexpr ValueOption kCollectOption{u"--collect", u"a folder"};

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

// "--name VALUE" or "--name=VALUE": false when `argument` is not the option.
// A missing or empty value sets the error.
bool TakeValue(const std::vector<std::u16string>& arguments, std::size_t& i,
               const ValueOption& option, std::u16string* value, std::u16string* error) {
  const std::u16string& argument = arguments[i];
  if (argument == option.name) {
    if (i + 1 < arguments.size()) *value = arguments[++i];
  } else if (argument.size() > option.name.size() &&
             argument.compare(0, option.name.size(), option.name) == 0 &&
             argument[option.name.size()] == u'=') {
    *value = argument.substr(option.name.size() + 1);
  } else {
    return false;
  }
  if (value->empty()) *error = FormatText(kMissingValue, {option.name, option.what});
  return true;
}

std::u16string IdList() {
  std::u16string list;
  for (const std::u16string_view id : CheckIds()) {
    if (!list.empty()) list += u", ";
    list += id;
  }
  return list;
}

// The ids in "a,b,c"; sets the error at the first unknown one.
std::vector<std::u16string> ParseIds(std::u16string_view text, std::u16string* error) {
  std::vector<std::u16string> ids;
  std::size_t at = 0;
  for (;;) {
    const std::size_t comma = text.find(u',', at);
    const std::u16string id(
        text.substr(at, comma == std::u16string_view::npos ? comma : comma - at));
    const std::vector<std::u16string_view>& known = CheckIds();
    if (std::find(known.begin(), known.end(), id) == known.end()) {
      *error = FormatText(kUnknownCheck, {id, IdList()});
      return {};
    }
    ids.push_back(id);
    if (comma == std::u16string_view::npos) return ids;
    at = comma + 1;
  }
}

// The one event: its type and ID follow the verdict, its insertion strings
// carry the verdict, every finding that needs something done, and the run
// that was judged; its user is this process's, whose run was judged.
Status ReportToEventLog(CheckPlatform& os, const CheckRun& run, const CheckFacts& facts) {
  const CheckStatus verdict = Verdict(run.results);
  const EventType type = verdict == CheckStatus::kFail   ? EventType::kError
                         : verdict == CheckStatus::kWarn ? EventType::kWarning
                                                         : EventType::kInformation;
  const std::uint32_t id = verdict == CheckStatus::kFail   ? check_event::kFail
                           : verdict == CheckStatus::kWarn ? check_event::kWarn
                                                           : check_event::kOk;
  return os.eventLog.Report(check_event::kSource, type, id, EventUser::kThisProcess,
                            EventStrings(run, facts));
}

}  // namespace

CheckOptions ParseCheckOptions(const std::vector<std::u16string>& arguments) {
  CheckOptions options;
  for (std::size_t i = 0; i < arguments.size() && options.error.empty(); ++i) {
    const std::u16string& argument = arguments[i];
    std::u16string value;
    if (argument == u"--json") {
      options.json = true;
    } else if (argument == u"--quiet") {
      options.quiet = true;
    } else if (argument == u"--eventlog") {
      options.eventLog = true;
    } else if (argument == u"--help" || argument == u"-h" || argument == u"/?") {
      options.help = true;
    } else if (argument == u"--version") {
      options.version = true;
    } else if (TakeValue(arguments, i, kMaxAgeOption, &value, &options.error)) {
      if (!options.error.empty()) break;
      options.maxAgeHours = ParseHours(value);
      if (!options.maxAgeHours) options.error = FormatText(kBadHours, {value});
    } else if (TakeValue(arguments, i, kTaskOption, &value, &options.error)) {
      options.taskName = value;
    } else if (TakeValue(arguments, i, kOnlyOption, &value, &options.error)) {
      if (!options.error.empty()) break;
      const std::vector<std::u16string> ids = ParseIds(value, &options.error);
      options.only.insert(options.only.end(), ids.begin(), ids.end());
    } else if (TakeValue(arguments, i, kCollectOption, &value, &options.error)) {
      options.collectFolder = value;
    } else if (!argument.empty() && (argument[0] == u'-' || argument[0] == u'/')) {
      options.error = FormatText(kUnknownOption, {argument});
    } else {
      options.error = FormatText(kUnexpectedArgument, {argument});
    }
  }
  if (options.error.empty() && options.json && options.quiet) options.error = kJsonAndQuiet;
  if (options.error.empty() && !options.collectFolder.empty() &&
      (options.json || options.quiet || options.eventLog || !options.only.empty())) {
    options.error = kCollectAlone;
  }
  return options;
}

int RunCheckTool(CheckPlatform& os, Console& console, std::u16string_view version) {
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
  if (!options.collectFolder.empty()) return CollectSupportBundle(os, console, options, version);
  CheckRun run = RunChecks(os, options);
  std::vector<CheckResult>& results = run.results;
  const CheckFacts facts = GatherCheckFacts(os);
  if (options.eventLog) {
    if (const Status status = ReportToEventLog(os, run, facts); status != 0) {
      results.push_back(
          MakeResult(kEventLogId, CheckStatus::kWarn,
                     FormatText(kEventNotWritten, {WindowsErrorText(os.messages, status)})));
    }
  }
  const std::u16string report = options.json    ? FormatJson(results, version, facts)
                                : options.quiet ? FormatQuiet(results)
                                                : FormatTable(results);
  console.Write(OutputStream::kOutput, report);
  return ExitCodeOf(Verdict(results));
}

}  // namespace lss
