// Any arguments of the task's action: the check tool finds -s and -e exactly
// where LSScheduler.exe itself would read them, and the task check says the
// run lacks -s exactly when its arguments lack it. The input is the action's
// argument text; cut at each '\n', it is also the list of split arguments.
#include <string>
#include <vector>

#include "app/scheduler_command_line_info.h"
#include "check/task_check.h"
#include "fake/fake_check_platform.h"
#include "fuzz/fuzz_input.h"
#include "settings/settings_store.h"

void lss::fuzz::TestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::u16string text = DecodeText(data, size);
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

  // The whole task check, the text as the action's arguments split by the fake.
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
  const std::vector<std::u16string> split = os.queries.SplitArguments(text);
  const bool lacksS =
      result.message ==
      u"The task \"Larkspan Nightly\" starts LSScheduler.exe without -s: a run only hands its "
      u"values to the add-in and never starts Outlook. Add -s -e to the action's arguments.";
  Require(lacksS == !lss::HasSchedulerFlag(split, u's'), "a task without -s is told so");
  Require(!lacksS || result.status == lss::CheckStatus::kFail, "a task without -s fails");
}
