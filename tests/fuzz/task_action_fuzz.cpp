// Any arguments of the task's action: the check tool finds -s and -e exactly
// where LSScheduler.exe itself would read them, and the task check says the
// run lacks -s exactly when its arguments lack it. The input is the action's
// argument text; cut at each '\n', it is also the list of split arguments.
// The core's splitting of a command line agrees with a splitter written here
// apart from it, one character at a time.
#include <string>
#include <string_view>
#include <vector>

#include "app/scheduler_command_line_info.h"
#include "check/task_check.h"
#include "diag/command_line_split.h"
#include "fake/fake_check_platform.h"
#include "fuzz/fuzz_input.h"
#include "settings/settings_store.h"

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

// CommandLineToArgvW's rules in one pass: the name up to a blank, or between
// quotes; then backslashes are counted until the character after them says
// what they are.
std::vector<std::u16string> OracleSplit(std::u16string_view line) {
  std::vector<std::u16string> split;
  if (line.empty()) return split;
  std::size_t i = 0;
  std::u16string name;
  if (line[0] == u'"') {
    for (i = 1; i < line.size() && line[i] != u'"'; ++i) name += line[i];
    if (i < line.size()) ++i;
  } else {
    for (; i < line.size() && !IsBlank(line[i]); ++i) name += line[i];
  }
  split.push_back(name);
  std::u16string current;
  bool inArgument = false;
  bool quoted = false;
  std::size_t backslashes = 0;
  for (; i < line.size(); ++i) {
    const char16_t c = line[i];
    if (c == u'\\') {
      ++backslashes;
      inArgument = true;
      continue;
    }
    if (c == u'"') {
      current.append(backslashes / 2, u'\\');
      inArgument = true;
      if (backslashes % 2 == 1) {
        current += u'"';
      } else if (quoted && i + 1 < line.size() && line[i + 1] == u'"') {
        current += u'"';
        ++i;
        quoted = false;
      } else {
        quoted = !quoted;
      }
      backslashes = 0;
      continue;
    }
    current.append(backslashes, u'\\');
    backslashes = 0;
    if (IsBlank(c) && !quoted) {
      if (inArgument) split.push_back(current);
      current.clear();
      inArgument = false;
      continue;
    }
    current += c;
    inArgument = true;
  }
  current.append(backslashes, u'\\');
  if (inArgument) split.push_back(current);
  return split;
}

}  // namespace

void lss::fuzz::TestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::u16string text = DecodeText(data, size);
  Require(lss::SplitCommandLine(text) == OracleSplit(text),
          "a command line splits by CommandLineToArgvW's rules");
  std::vector<std::u16string> named = lss::SplitCommandLine(u"x " + text);
  named.erase(named.begin());
  Require(lss::SplitArguments(text) == named, "arguments split as they follow a name");
  const std::vector<std::u16string> arguments = SplitLines(text);

  const bool s = lss::HasSchedulerFlag(arguments, u's');
  const bool e = lss::HasSchedulerFlag(arguments, u'e');
  Require(s == HasFlag(u's', arguments) && e == HasFlag(u'e', arguments),
          "-s and -e count in either case, after '-' or '/'");
  Require(
      s == lss::HasSchedulerFlag(arguments, u'S') && e == lss::HasSchedulerFlag(arguments, u'E'),
      "the letter asked for counts in either case");

  std::vector<std::u16string> argv{u"LSScheduler.exe"};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  lss::CSchedulerCommandLineInfo scheduler;
  lss::ScanCommandLine(argv, scheduler);
  Require(s == (scheduler.startOutlook != 0) && e == (scheduler.exitOutlook != 0),
          "the check reads -s and -e as the scheduler does");

  // The whole task check, the text as the action's arguments.
  lss::test::FakeCheckPlatform os;
  const std::u16string program = u"C:\\Program Files\\Larkspan\\LSScheduler.exe";
  os.disk.AddFile(program);
  lss::TaskReading task;
  task.name = u"Larkspan Nightly";
  task.result = 0;
  task.info.execActions.push_back({program, text});
  lss::SettingsStore settings(u"Larkspan", lss::SettingsStore::Access::kReadOnly);
  settings.SetSettingsRoot(os.registry, u"Brinmoor");
  lss::CheckContext context{os.bundle, settings};
  const lss::CheckResult result = lss::CheckTask(context, task);
  const std::vector<std::u16string> split = lss::SplitArguments(text);
  const bool lacksS =
      result.message ==
      u"The task \"Larkspan Nightly\" starts LSScheduler.exe without -s: a run only hands its "
      u"values to the add-in and never starts Outlook. Add -s -e to the action's arguments.";
  Require(lacksS == !lss::HasSchedulerFlag(split, u's'), "a task without -s is told so");
  Require(!lacksS || result.status == lss::CheckStatus::kFail, "a task without -s fails");
}
