#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/scheduler_command_line_info.h"
#include "common/rows.h"
#include "fake/call_journal.h"

namespace lss {
namespace {

using test::PrintTo;

// Given the arguments after the program path, the fields the scheduler acts on.
struct OptionCase {
  const char* what;
  std::vector<std::u16string> arguments;
  int startOutlook = 0;
  int exitOutlook = 0;
  std::u16string profileName = {};
  std::u16string outlookSwitches = {};
  std::u16string taskName = {};
};

class CommandLineOptions : public testing::TestWithParam<OptionCase> {};

TEST_P(CommandLineOptions, FillTheFieldsTheSchedulerActsOn) {
  const OptionCase& c = GetParam();
  std::vector<std::u16string> argv{u"C:\\LSScheduler.exe"};
  argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
  CSchedulerCommandLineInfo info;
  ScanCommandLine(argv, info);
  EXPECT_EQ(info.startOutlook, c.startOutlook);
  EXPECT_EQ(info.exitOutlook, c.exitOutlook);
  EXPECT_EQ(info.recycle, 1);
  EXPECT_EQ(info.profileName, c.profileName);
  EXPECT_EQ(info.outlookSwitches, c.outlookSwitches);
  EXPECT_EQ(info.taskName, c.taskName);
}

const OptionCase kOptions[] = {
    {.what = "no arguments set nothing", .arguments = {}},
    {.what = "-S starts Outlook", .arguments = {u"-S"}, .startOutlook = 1},
    {.what = "/S /e start and exit Outlook",
     .arguments = {u"/S", u"/e"},
     .startOutlook = 1,
     .exitOutlook = 1},
    {.what = "-P takes the next argument as the profile",
     .arguments = {u"-P", u"Work"},
     .profileName = u"Work"},
    {.what = "only the first letter of a flag counts",
     .arguments = {u"-safe", u"-exit", u"-Profile", u"Work"},
     .startOutlook = 1,
     .exitOutlook = 1,
     .profileName = u"Work"},
    {.what = "/name takes the task name; /recycle is always on",
     .arguments = {u"/name", u"Nightly", u"/recycle"},
     .taskName = u"Nightly"},
    {.what = "a repeated flag: the last value wins",
     .arguments = {u"-p", u"A", u"-p", u"B", u"-s", u"-s"},
     .startOutlook = 1,
     .profileName = u"B"},
    {.what = "-p at the end sets no profile", .arguments = {u"-p"}},
    {.what = "a flag between -p and its value leaves the value waiting",
     .arguments = {u"-p", u"-s", u"Work"},
     .startOutlook = 1,
     .profileName = u"Work"},
    {.what = "an argument nothing waits for is ignored",
     .arguments = {u"-n", u"Nightly", u"extra"},
     .taskName = u"Nightly"},
    {.what = "unknown flags are passed on to Outlook with a slash",
     .arguments = {u"-x", u"/Y"},
     .outlookSwitches = u"/x /Y"},
    {.what = "-o replaces the switches passed on so far; later flags are added",
     .arguments = {u"-x", u"-o", u"V", u"-y"},
     .outlookSwitches = u"V /y"},
    {.what = "a flag after -o is not its value",
     .arguments = {u"-o", u"/nq", u"T"},
     .taskName = u"T"},
    {.what = "/q after -o is passed on", .arguments = {u"-o", u"/q"}, .outlookSwitches = u"/q"},
    {.what = "-o takes the argument after a flag it waited through",
     .arguments = {u"-o", u"/q", u"W"},
     .outlookSwitches = u"W"},
    {.what = "-o takes an argument starting with a blank as it stands",
     .arguments = {u"-o", u" /q"},
     .outlookSwitches = u" /q"},
    {.what = "--s is an unknown flag -s", .arguments = {u"--s"}, .outlookSwitches = u"/-s"},
    {.what = "//x is an unknown flag /x", .arguments = {u"//x"}, .outlookSwitches = u"//x"},
    {.what = "a lone - or / keeps a value waiting",
     .arguments = {u"-p", u"-", u"/", u"Work"},
     .profileName = u"Work"},
    {.what = "an en dash is no flag", .arguments = {u"\u2013s"}},
    {.what = "an en dash can be a value", .arguments = {u"-n", u"\u2013s"}, .taskName = u"\u2013s"},
    {.what = "an empty value is taken and the next argument ignored",
     .arguments = {u"-p", u"", u"Work"}},
    {.what = "an unknown flag outside ASCII is passed on",
     .arguments = {u"-\u00C9t\u00E9"},
     .outlookSwitches = u"/\u00C9t\u00E9"},
    {.what = "an empty argument is ignored", .arguments = {u""}},
};

INSTANTIATE_TEST_SUITE_P(, CommandLineOptions, testing::ValuesIn(kOptions), test::RowName);

TEST(ScanCommandLine, HandsFlagsOnWithoutTheirPrefixAndMarksTheLast) {
  struct Recorder : CCommandLineInfo {
    void ParseParam(std::u16string_view text, bool isFlag, bool isLast) override {
      seen.push_back({std::u16string(text), isFlag, isLast});
    }
    struct Call {
      std::u16string text;
      bool isFlag;
      bool isLast;
      bool operator==(const Call&) const = default;
    };
    std::vector<Call> seen;
  } recorder;
  ScanCommandLine({u"prog", u"-s", u"/Pro", u"plain", u"-"}, recorder);
  const std::vector<Recorder::Call> expected{
      {u"s", true, false}, {u"Pro", true, false}, {u"plain", false, false}, {u"", true, true}};
  EXPECT_EQ(recorder.seen, expected);
}

}  // namespace
}  // namespace lss
