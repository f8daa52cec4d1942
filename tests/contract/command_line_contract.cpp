// How a command line splits into arguments: the rows hold CommandLineToArgvW's
// answers, which the core's own splitter (the one the task check reads an
// action's arguments with) gives too.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

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

INSTANTIATE_TEST_SUITE_P(
    Table, CommandLines,
    testing::Values(
        SplitRow{"blanks separate, outside quotes", u"x a\tb  c ", {u"x", u"a", u"b", u"c"}},
        SplitRow{"a quoted name ends at its closing quote",
                 u"\"C:\\Pro gram\\x.exe\"a b",
                 {u"C:\\Pro gram\\x.exe", u"a", u"b"}},
        SplitRow{"the name's backslashes are plain", u"C:\\x\\\"y z", {u"C:\\x\\\"y", u"z"}},
        SplitRow{"the name's quote is not escaped", u"\"a\\\"\" b", {u"a\\", u" b"}},
        SplitRow{"a name never closed takes the line", u"\"a b", {u"a b"}},
        SplitRow{"a leading blank gives an empty name", u"  a b", {u"", u"a", u"b"}},
        SplitRow{"an escaped quote", u"x -p \"a\\\"b\" /s", {u"x", u"-p", u"a\"b", u"/s"}},
        SplitRow{"backslashes before other characters are plain",
                 u"x a\\\\\\b d\"e f\"g h",
                 {u"x", u"a\\\\\\b", u"de fg", u"h"}},
        SplitRow{"2n+1 backslashes and a quote", u"x a\\\\\\\"b c", {u"x", u"a\\\"b", u"c"}},
        SplitRow{"2n backslashes and a quote", u"x a\\\\\\\\\"b c\" d", {u"x", u"a\\\\b c", u"d"}},
        SplitRow{
            "\"\" inside quotes is a quote and ends them", u"x \"a\"\"b\" c", {u"x", u"a\"b c"}},
        SplitRow{
            "\"\" after quotes ends an argument", u"x a\"b\"\" c d", {u"x", u"ab\"", u"c", u"d"}},
        SplitRow{"\"\" outside quotes is nothing", u"x a\"\"b", {u"x", u"ab"}},
        SplitRow{"three quotes", u"x \"\"\"a\" b", {u"x", u"\"a b"}},
        SplitRow{"six quotes", u"x \"\"\"\"\"\" e", {u"x", u"\"\"", u"e"}},
        SplitRow{"empty quoted arguments", u"x \"\" \"\"", {u"x", u"", u""}},
        SplitRow{"an unclosed quote runs to the end", u"x \"open arg", {u"x", u"open arg"}},
        SplitRow{"a trailing backslash", u"x a\\ \"b\\\\\"", {u"x", u"a\\", u"b\\"}},
        SplitRow{"any Unicode",
                 u"x J\u00fcrgen \"\u65e5 \U0001F600\"",
                 {u"x", u"J\u00fcrgen", u"\u65e5 \U0001F600"}}));

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

INSTANTIATE_TEST_SUITE_P(
    Table, ActionArguments,
    testing::Values(SplitRow{"nothing", u"", {}}, SplitRow{"blanks", u"  ", {}},
                    SplitRow{"a quoted profile",
                             u"-s -e -p \"My Work\" -n Nightly",
                             {u"-s", u"-e", u"-p", u"My Work", u"-n", u"Nightly"}},
                    SplitRow{"an escaped quote", u"-p \"a\\\"b\" /s", {u"-p", u"a\"b", u"/s"}},
                    SplitRow{"a first argument in quotes keeps the argument rules",
                             u"\"a\\\"b\" c",
                             {u"a\"b", u"c"}}));

}  // namespace
}  // namespace lss::contract
