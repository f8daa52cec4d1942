#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/scheduler_command_line_info.h"
#include "fake/call_journal.h"
#include "unit_tables.h"

namespace lss {
namespace {

struct OptionCase {
  std::vector<std::u16string> arguments;  // after the program path
  int startOutlook;
  int exitOutlook;
  std::u16string profileName;
  std::u16string outlookSwitches;
  std::u16string taskName;
};

// The arguments as the case's name, instead of the struct's bytes.
void PrintTo(const OptionCase& c, std::ostream* out) {
  *out << "args:";
  for (const std::u16string& argument : c.arguments) *out << " [" << test::Narrow(argument) << "]";
}

class OptionRules : public testing::TestWithParam<OptionCase> {};

TEST_P(OptionRules, FillTheFields) {
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

INSTANTIATE_TEST_SUITE_P(
    Table, OptionRules,
    testing::Values(OptionCase{{}, 0, 0, u"", u"", u""}, OptionCase{{u"-S"}, 1, 0, u"", u"", u""},
                    OptionCase{{u"/S", u"/e"}, 1, 1, u"", u"", u""},
                    OptionCase{{u"-P", u"Work"}, 0, 0, u"Work", u"", u""},
                    OptionCase{{u"-safe", u"-exit", u"-Profile", u"Work"}, 1, 1, u"Work", u"", u""},
                    OptionCase{{u"/name", u"Nightly", u"/recycle"}, 0, 0, u"", u"", u"Nightly"},
                    OptionCase{{u"-p", u"A", u"-p", u"B", u"-s", u"-s"}, 1, 0, u"B", u"", u""},
                    OptionCase{{u"-p"}, 0, 0, u"", u"", u""},
                    OptionCase{{u"-p", u"-s", u"Work"}, 1, 0, u"Work", u"", u""},
                    OptionCase{{u"-n", u"Nightly", u"extra"}, 0, 0, u"", u"", u"Nightly"},
                    OptionCase{{u"-x", u"/Y"}, 0, 0, u"", u"/x /Y", u""},
                    OptionCase{{u"-x", u"-o", u"V", u"-y"}, 0, 0, u"", u"V /y", u""},
                    OptionCase{{u"-o", u"/nq", u"T"}, 0, 0, u"", u"", u"T"},
                    OptionCase{{u"-o", u"/q"}, 0, 0, u"", u"/q", u""},
                    OptionCase{{u"-o", u"/q", u"W"}, 0, 0, u"", u"W", u""},
                    OptionCase{{u"-o", u" /q"}, 0, 0, u"", u" /q", u""},
                    OptionCase{{u"--s"}, 0, 0, u"", u"/-s", u""},
                    OptionCase{{u"//x"}, 0, 0, u"", u"//x", u""},
                    OptionCase{{u"-p", u"-", u"/", u"Work"}, 0, 0, u"Work", u"", u""},
                    OptionCase{{u"\u2013s"}, 0, 0, u"", u"", u""},
                    OptionCase{{u"-n", u"\u2013s"}, 0, 0, u"", u"", u"\u2013s"},
                    OptionCase{{u"-p", u"", u"Work"}, 0, 0, u"", u"", u""},
                    OptionCase{{u"-\u00C9t\u00E9"}, 0, 0, u"", u"/\u00C9t\u00E9", u""},
                    OptionCase{{u""}, 0, 0, u"", u"", u""}));

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
