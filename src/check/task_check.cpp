#include "check/task_check.h"

#include <array>
#include <utility>
#include <vector>

#include "diag/command_line_split.h"
#include "diag/text_format.h"

namespace lss {

namespace {

constexpr std::u16string_view kId = u"task";

constexpr std::u16string_view kNotFound =
    u"There is no task \"%s\": no scheduled run on this machine under that name. Create it as "
    u"the README shows, or name yours with --task.";
constexpr std::u16string_view kUnreadable =
    u"The task \"%s\" cannot be read from the Task Scheduler: %s.";
constexpr std::u16string_view kDisabled =
    u"The task \"%s\" is disabled: no scheduled run starts. Enable it in the Task Scheduler.";
constexpr std::u16string_view kServiceAccount =
    u"The task \"%s\" runs as %s: that account has no desktop session, so Outlook cannot start. "
    u"Set it to run as the user, only when the user is logged on.";
constexpr std::u16string_view kNoDesktop =
    u"The task \"%s\" runs whether the user is logged on or not (logon type %s): such a run has "
    u"no desktop session, so Outlook cannot start. Set it to run only when the user is logged "
    u"on.";
constexpr std::u16string_view kNoAction =
    u"The task \"%s\" does not start %s (its action starts %s): no run can start. Point its "
    u"action at that file.";
constexpr std::u16string_view kNothing = u"nothing";
constexpr std::u16string_view kProgramMissing =
    u"The task \"%s\" starts %s, which does not exist: no run can start. Repair the "
    u"installation.";
constexpr std::u16string_view kNoS =
    u"The task \"%s\" starts LSScheduler.exe without -s: a run only hands its values to the "
    u"add-in and never starts Outlook. Add -s -e to the action's arguments.";
constexpr std::u16string_view kNoE =
    u"The task \"%s\" starts LSScheduler.exe without -e: Outlook stays open after each run. Add "
    u"-e unless that is wanted.";
constexpr std::u16string_view kTimeLimit =
    u"The task's last run (%s) was ended by its time limit (0x00041306): the add-in did not "
    u"finish in time, and the toolbar block stays until the next start of LSScheduler.exe. "
    u"Raise the task's time limit, or WaitSecondsForOutlookStart if the wait is what ran long.";
constexpr std::u16string_view kFailed = u"The task's last run (%s) ended with 0x%08lx: %s.";
// The exit codes of this tool as the task's last action: its verdict on the run.
constexpr HResult kCheckWarned = 1;
constexpr HResult kCheckFailed = 2;
constexpr std::u16string_view kRunWarned =
    u"The task's last run (%s) ended with 0x00000001: the check after the last run found a "
    u"warning: its event 1001 (source LSScheduler) in the Application log names it, as do the "
    u"last-run and toolbar checks.";
constexpr std::u16string_view kRunFailed =
    u"The task's last run (%s) ended with 0x00000002: the check after the last run found that "
    u"the run failed. Its event 1002 (source LSScheduler) in the Application log says why, as "
    u"does the last-run check.";
constexpr std::u16string_view kNoVerdict =
    u" Note: the task writes no verdict after its run; add the second action of the template "
    u"(%s --only last-run,toolbar --eventlog).";
constexpr std::u16string_view kGood = u"The task \"%s\" starts %s; %s";
constexpr std::u16string_view kRanWell = u"its last run (%s) ended well.";
constexpr std::u16string_view kNotRunYet = u"it has not run yet.";
constexpr std::u16string_view kReadyToRun =
    u"it is ready for its next run (0x00041300); the Task Scheduler does not say how its last "
    u"run ended.";
constexpr std::u16string_view kRunningNow = u"it is running now.";
constexpr std::u16string_view kResultUnknown =
    u"the Task Scheduler does not say how its last run ended.";
constexpr std::u16string_view kTimeUnknown = u"time not known";

constexpr std::u16string_view kLogonPassword = u"Password";
constexpr std::u16string_view kLogonS4U = u"S4U";

// SYSTEM, LocalService and NetworkService by each name Windows accepts, with
// or without the domain "NT AUTHORITY\\" (or ".\\"), and by their SIDs.
constexpr std::array<std::u16string_view, 6> kServiceAccountNames = {
    u"SYSTEM",       u"LocalSystem",     u"LOCAL SERVICE",
    u"LocalService", u"NETWORK SERVICE", u"NetworkService",
};
constexpr std::array<std::u16string_view, 2> kServiceAccountDomains = {u"NT AUTHORITY\\", u".\\"};
constexpr std::array<std::u16string_view, 3> kServiceAccountSids = {u"S-1-5-18", u"S-1-5-19",
                                                                     u"S-1-5-20"};

char16_t Fold(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; }

bool SameText(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Fold(a[i]) != Fold(b[i])) return false;
  }
  return true;
}

std::u16string_view Trimmed(std::u16string_view text) {
  while (!text.empty() && (text.front() == u' ' || text.front() == u'\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == u' ' || text.back() == u'\t')) text.remove_suffix(1);
  return text;
}

// An action's program as it is started: variables expanded, quotes removed.
std::u16string ProgramOf(Environment& environment, const TaskExecAction& action) {
  std::u16string program = environment.ExpandEnvironment(Trimmed(action.path));
  if (program.size() >= 2 && program.front() == u'"' && program.back() == u'"') {
    program = program.substr(1, program.size() - 2);
  }
  return program;
}

std::u16string_view FileNameOf(std::u16string_view path) {
  const std::size_t separator = path.find_last_of(u"\\/");
  return separator == std::u16string_view::npos ? path : path.substr(separator + 1);
}

std::u16string_view FolderOf(std::u16string_view path) {
  const std::size_t separator = path.find_last_of(u"\\/");
  return separator == std::u16string_view::npos ? std::u16string_view() : path.substr(0, separator);
}

std::u16string Hex(HResult code) {
  return FormatText(u"0x%08lx", {static_cast<std::uint32_t>(code)});
}

std::u16string WhenRan(const TaskInfo& info) {
  return info.lastRun ? ShownTime(*info.lastRun) : std::u16string(kTimeUnknown);
}

// The last result as a finding: a failure, or how the good end reads.
// `writesVerdict`: the task's last action is this tool, so 1 and 2 are its verdict.
CheckResult JudgeLastResult(CheckContext& context, const TaskReading& task,
                            std::u16string_view started, bool writesVerdict) {
  const TaskInfo& info = task.info;
  std::u16string ended;
  CheckStatus status = CheckStatus::kOk;
  if (!info.lastResult) {
    ended = kResultUnknown;
  } else if (*info.lastResult == task_result::kTerminated) {
    return MakeResult(kId, CheckStatus::kFail, FormatText(kTimeLimit, {WhenRan(info)}));
  } else if (*info.lastResult == task_result::kHasNotRun) {
    ended = kNotRunYet;
    status = CheckStatus::kInfo;
  } else if (*info.lastResult == task_result::kReady) {
    ended = kReadyToRun;
    status = CheckStatus::kInfo;
  } else if (*info.lastResult == task_result::kRunning) {
    ended = kRunningNow;
  } else if (writesVerdict && *info.lastResult == kCheckWarned) {
    return MakeResult(kId, CheckStatus::kWarn, FormatText(kRunWarned, {WhenRan(info)}));
  } else if (writesVerdict && *info.lastResult == kCheckFailed) {
    return MakeResult(kId, CheckStatus::kFail, FormatText(kRunFailed, {WhenRan(info)}));
  } else if (*info.lastResult != 0) {
    return MakeResult(
        kId, CheckStatus::kFail,
        FormatText(kFailed, {WhenRan(info), static_cast<std::uint32_t>(*info.lastResult),
                             WindowsErrorText(context.os.messages, *info.lastResult)}));
  } else {
    ended = FormatText(kRanWell, {WhenRan(info)});
  }
  return MakeResult(kId, status, FormatText(kGood, {task.name, started, ended}));
}

CheckResult Judge(CheckContext& context, const TaskReading& task, CheckResult& found) {
  const TaskInfo& info = task.info;
  if (!info.enabled) return MakeResult(kId, CheckStatus::kFail, FormatText(kDisabled, {task.name}));
  for (const std::u16string& account : {info.userId, info.groupId}) {
    if (IsServiceAccount(account)) {
      return MakeResult(kId, CheckStatus::kFail, FormatText(kServiceAccount, {task.name, account}));
    }
  }
  if (info.logonType == TaskLogonType::kPassword || info.logonType == TaskLogonType::kS4U) {
    return MakeResult(kId, CheckStatus::kFail,
                      FormatText(kNoDesktop, {task.name, info.logonType == TaskLogonType::kPassword
                                                             ? kLogonPassword
                                                             : kLogonS4U}));
  }

  Environment& environment = context.os.environment;
  const std::u16string ownFolder(FolderOf(context.os.queries.ProgramPath()));
  const auto inOwnFolder = [&](std::u16string_view image) {
    return ownFolder.empty() ? std::u16string(image) : ownFolder + u"\\" + std::u16string(image);
  };
  // A program of this tool's folder; by its name alone when the folder is unknown.
  const auto isOwn = [&](std::u16string_view path, std::u16string_view image) {
    return ownFolder.empty() ? SameText(FileNameOf(path), image)
                             : SameText(path, inOwnFolder(image));
  };
  const std::u16string expected = inOwnFolder(kSchedulerImage);
  const TaskExecAction* action = nullptr;
  std::u16string program;
  for (const TaskExecAction& candidate : info.execActions) {
    const std::u16string path = ProgramOf(environment, candidate);
    if (isOwn(path, kSchedulerImage)) {
      action = &candidate;
      program = path;
      break;
    }
  }
  if (action == nullptr) {
    const std::u16string other = info.execActions.empty()
                                     ? std::u16string(kNothing)
                                     : ProgramOf(environment, info.execActions.front());
    return MakeResult(kId, CheckStatus::kFail, FormatText(kNoAction, {task.name, expected, other}));
  }
  found.details.emplace_back(u"program", program);
  found.details.emplace_back(u"arguments", action->arguments);
  if (!context.os.files.IsFile(program)) {
    return MakeResult(kId, CheckStatus::kFail, FormatText(kProgramMissing, {task.name, program}));
  }
  const std::vector<std::u16string> arguments = SplitArguments(action->arguments);
  if (!HasSchedulerFlag(arguments, u's')) {
    return MakeResult(kId, CheckStatus::kFail, FormatText(kNoS, {task.name}));
  }
  const bool writesVerdict = isOwn(ProgramOf(environment, info.execActions.back()), kCheckImage);
  CheckResult result =
      JudgeLastResult(context, task, program + u" " + action->arguments, writesVerdict);
  if (result.status != CheckStatus::kFail && !HasSchedulerFlag(arguments, u'e')) {
    return MakeResult(kId, CheckStatus::kWarn, FormatText(kNoE, {task.name}));
  }
  if (!writesVerdict && (result.status == CheckStatus::kOk || result.status == CheckStatus::kInfo)) {
    result.status = CheckStatus::kInfo;
    result.message += FormatText(kNoVerdict, {inOwnFolder(kCheckImage)});
  }
  return result;
}

}  // namespace

std::optional<LocalTime> TaskReading::LastRun() const {
  return result == 0 ? info.lastRun : std::nullopt;
}

std::u16string TaskNameToRead(CheckContext& context, std::u16string_view given) {
  if (!given.empty()) return std::u16string(given);
  std::u16string recorded =
      ReadMachineText(context.os.registry, reg::kWow64_64Key, kInstallerKey, kInstalledTaskName);
  if (!recorded.empty()) return recorded;
  return std::u16string(kDefaultTaskName);
}

TaskReading ReadScheduledTask(CheckContext& context, std::u16string_view name) {
  TaskReading task;
  task.name = name;
  task.result = context.os.tasks.ReadTask(name, &task.info);
  return task;
}

CheckResult CheckTask(CheckContext& context, const TaskReading& task) {
  if (task.result == task_result::kNotFound) {
    return MakeResult(kId, CheckStatus::kWarn, FormatText(kNotFound, {task.name}));
  }
  if (task.result != 0) {
    return MakeResult(
        kId, CheckStatus::kWarn,
        FormatText(kUnreadable, {task.name, WindowsErrorText(context.os.messages, task.result)}));
  }
  CheckResult found;
  CheckResult result = Judge(context, task, found);
  const TaskInfo& info = task.info;
  result.details.emplace_back(u"task", task.name);
  result.details.insert(result.details.end(), found.details.begin(), found.details.end());
  if (info.lastRun) result.details.emplace_back(u"lastRun", IsoTime(*info.lastRun));
  if (info.lastResult) result.details.emplace_back(u"lastResult", Hex(*info.lastResult));
  if (info.nextRun) result.details.emplace_back(u"nextRun", IsoTime(*info.nextRun));
  return result;
}

bool IsServiceAccount(std::u16string_view account) {
  std::u16string_view name = Trimmed(account);
  for (const std::u16string_view sid : kServiceAccountSids) {
    if (SameText(name, sid)) return true;
  }
  for (const std::u16string_view domain : kServiceAccountDomains) {
    if (name.size() > domain.size() && SameText(name.substr(0, domain.size()), domain)) {
      name.remove_prefix(domain.size());
      break;
    }
  }
  for (const std::u16string_view known : kServiceAccountNames) {
    if (SameText(name, known)) return true;
  }
  return false;
}

bool HasSchedulerFlag(const std::vector<std::u16string>& arguments, char16_t letter) {
  for (const std::u16string& argument : arguments) {
    if (argument.size() >= 2 && (argument[0] == u'-' || argument[0] == u'/') &&
        Fold(argument[1]) == Fold(letter)) {
      return true;
    }
  }
  return false;
}

}  // namespace lss
