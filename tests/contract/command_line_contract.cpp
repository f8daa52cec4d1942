// How a command line splits into arguments: the rows hold CommandLineToArgvW's
// answers, which the core's own splitter (the one the task check reads an
// action's arguments with) gives too.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/rows.h"
#include "contract/contract_machine.h"
#include "diag/command_line_split.h"

namespace lss::contract {
namespace {

struct SplitRow {
  const char* what;
  std::u16string line;
  std::vector<std::u16string> split;
};

class CommandLines : public testing::TestWithParam<SplitRow> {};

TEST_P(CommandLines, SplitAsAProgramReceivesThem) {
  const SplitRow& row = GetParam();
  EXPECT_EQ(MakeContractMachine()->SplitCommandLine(row.line), row.split);
  EXPECT_EQ(lss::SplitCommandLine(row.line), row.split);
}

const SplitRow kLines[] = {
    {.what = "blanks separate, outside quotes",
     .line = u"x a\tb  c ",
     .split = {u"x", u"a", u"b", u"c"}},
    {.what = "a quoted name ends at its closing quote",
     .line = u"\"C:\\Pro gram\\x.exe\"a b",
     .split = {u"C:\\Pro gram\\x.exe", u"a", u"b"}},
    {.what = "the name's backslashes are plain",
     .line = u"C:\\x\\\"y z",
     .split = {u"C:\\x\\\"y", u"z"}},
    {.what = "the name's quote is not escaped", .line = u"\"a\\\"\" b", .split = {u"a\\", u" b"}},
    {.what = "a name never closed takes the line", .line = u"\"a b", .split = {u"a b"}},
    {.what = "a leading blank gives an empty name", .line = u"  a b", .split = {u"", u"a", u"b"}},
    {.what = "an escaped quote",
     .line = u"x -p \"a\\\"b\" /s",
     .split = {u"x", u"-p", u"a\"b", u"/s"}},
    {.what = "backslashes before other characters are plain",
     .line = u"x a\\\\\\b d\"e f\"g h",
     .split = {u"x", u"a\\\\\\b", u"de fg", u"h"}},
    {.what = "2n+1 backslashes and a quote",
     .line = u"x a\\\\\\\"b c",
     .split = {u"x", u"a\\\"b", u"c"}},
    {.what = "2n backslashes and a quote",
     .line = u"x a\\\\\\\\\"b c\" d",
     .split = {u"x", u"a\\\\b c", u"d"}},
    {.what = "\"\" inside quotes is a quote and ends them",
     .line = u"x \"a\"\"b\" c",
     .split = {u"x", u"a\"b c"}},
    {.what = "\"\" after quotes ends an argument",
     .line = u"x a\"b\"\" c d",
     .split = {u"x", u"ab\"", u"c", u"d"}},
    {.what = "\"\" outside quotes is nothing", .line = u"x a\"\"b", .split = {u"x", u"ab"}},
    {.what = "three quotes", .line = u"x \"\"\"a\" b", .split = {u"x", u"\"a b"}},
    {.what = "six quotes", .line = u"x \"\"\"\"\"\" e", .split = {u"x", u"\"\"", u"e"}},
    {.what = "empty quoted arguments", .line = u"x \"\" \"\"", .split = {u"x", u"", u""}},
    {.what = "an unclosed quote runs to the end",
     .line = u"x \"open arg",
     .split = {u"x", u"open arg"}},
    {.what = "a trailing backslash", .line = u"x a\\ \"b\\\\\"", .split = {u"x", u"a\\", u"b\\"}},
    {.what = "any Unicode",
     .line = u"x J\u00fcrgen \"\u65e5 \U0001F600\"",
     .split = {u"x", u"J\u00fcrgen", u"\u65e5 \U0001F600"}},
};

INSTANTIATE_TEST_SUITE_P(, CommandLines, testing::ValuesIn(kLines), test::RowName);

class ActionArguments : public testing::TestWithParam<SplitRow> {};

// An action's arguments read as they follow the program's name.
TEST_P(ActionArguments, SplitAsAProgramReceivesThem) {
  const SplitRow& row = GetParam();
  std::vector<std::u16string> system = MakeContractMachine()->SplitCommandLine(u"x " + row.line);
  ASSERT_FALSE(system.empty());
  system.erase(system.begin());
  EXPECT_EQ(system, row.split);
  EXPECT_EQ(lss::SplitArguments(row.line), row.split);
}

const SplitRow kActionArguments[] = {
    {.what = "nothing", .line = u"", .split = {}},
    {.what = "blanks", .line = u"  ", .split = {}},
    {.what = "a quoted profile",
     .line = u"-s -e -p \"My Work\" -n Nightly",
     .split = {u"-s", u"-e", u"-p", u"My Work", u"-n", u"Nightly"}},
    {.what = "an escaped quote", .line = u"-p \"a\\\"b\" /s", .split = {u"-p", u"a\"b", u"/s"}},
    {.what = "a first argument in quotes keeps the argument rules",
     .line = u"\"a\\\"b\" c",
     .split = {u"a\"b", u"c"}},
};

INSTANTIATE_TEST_SUITE_P(, ActionArguments, testing::ValuesIn(kActionArguments), test::RowName);

}  // namespace
}  // namespace lss::contract
