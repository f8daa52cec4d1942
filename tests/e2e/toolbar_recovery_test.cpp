// The add-in's toolbar: blocked for a -s -e run, restored afterwards, and a
// block left behind by an interrupted run undone by the next start.
#include "common/rows.h"
#include "harness/scheduler_test.h"

namespace e2e {
namespace {

using lss::test::PrintTo;

using ::testing::ElementsAreArray;

// The log's entries, as a row states them.
template <typename... Text>
std::vector<std::string> Log(Text... texts) {
  return {texts...};
}

struct ToolbarCase {
  const char* what;
  const wchar_t* arguments;
  std::optional<RegValue> blockBefore;    // BlockToolbarLoad; nothing: missing
  std::optional<RegValue> pendingBefore;  // BlockToolbarLoadOrg
  std::optional<RegValue> blockAfter;
  std::optional<RegValue> pendingAfter;
  std::vector<std::string> log;
};

class ToolbarState : public SchedulerTest, public ::testing::WithParamInterface<ToolbarCase> {};

TEST_P(ToolbarState, EndsAsTheOptionsAndThePendingBlockSay) {
  // Outlook is not installed: a -s run ends after reporting that.
  const ToolbarCase& row = GetParam();
  UseLogFolder();
  if (row.blockBefore) SetSetting(L"BlockToolbarLoad", *row.blockBefore);
  if (row.pendingBefore) SetSetting(L"BlockToolbarLoadOrg", *row.pendingBefore);

  RunScheduler(row.arguments);

  EXPECT_EQ(Setting(L"BlockToolbarLoad"), row.blockAfter);
  EXPECT_EQ(Setting(L"BlockToolbarLoadOrg"), row.pendingAfter);
  EXPECT_THAT(Texts(TheLog()), ElementsAreArray(row.log));
}

const ToolbarCase kToolbarRows[] = {
    {.what = "BlockToolbarLoadOrg set by hand to 1: restored before anything else, so "
             "the -s -e run finds the toolbar blocked and leaves it so",
     .arguments = L"-s -e",
     .blockBefore = Dword(0),
     .pendingBefore = Dword(1),
     .blockAfter = Dword(1),
     .pendingAfter = Dword(kMinusOne),
     .log = Log(kNotFound)},
    {.what = "a killed run's block is undone by a start without options",
     .arguments = L"",
     .blockBefore = Dword(1),
     .pendingBefore = Dword(0),
     .blockAfter = Dword(0),
     .pendingAfter = Dword(kMinusOne),
     .log = Log()},
    {.what = "a pending 5 is restored by a start with -e alone",
     .arguments = L"-e",
     .blockBefore = Dword(1),
     .pendingBefore = Dword(5),
     .blockAfter = Dword(5),
     .pendingAfter = Dword(kMinusOne),
     .log = Log()},
    {.what = "nothing pending: a start without options writes nothing",
     .arguments = L"",
     .blockBefore = std::nullopt,
     .pendingBefore = std::nullopt,
     .blockAfter = std::nullopt,
     .pendingAfter = std::nullopt,
     .log = Log()},
    {.what = "first -s -e run: blocked and restored to 0 even though Outlook is missing",
     .arguments = L"-s -e",
     .blockBefore = std::nullopt,
     .pendingBefore = std::nullopt,
     .blockAfter = Dword(0),
     .pendingAfter = Dword(kMinusOne),
     .log = Log(kBlock, kNotFound, kDeBlock)},
    {.what = "-s -e with the other prior value 5: 5 comes back",
     .arguments = L"-s -e",
     .blockBefore = Dword(5),
     .pendingBefore = Dword(kMinusOne),
     .blockAfter = Dword(5),
     .pendingAfter = Dword(kMinusOne),
     .log = Log(kBlock, kNotFound, kDeBlock)},
    {.what = "-s -e with the toolbar already blocked: nothing logged or written",
     .arguments = L"-s -e",
     .blockBefore = Dword(1),
     .pendingBefore = Dword(kMinusOne),
     .blockAfter = Dword(1),
     .pendingAfter = Dword(kMinusOne),
     .log = Log(kNotFound)},
    {.what = "-s without -e leaves the toolbar alone",
     .arguments = L"-s",
     .blockBefore = Dword(5),
     .pendingBefore = std::nullopt,
     .blockAfter = Dword(5),
     .pendingAfter = std::nullopt,
     .log = Log(kNotFound)},
};

INSTANTIATE_TEST_SUITE_P(, ToolbarState, testing::ValuesIn(kToolbarRows), lss::test::RowName);

}  // namespace
}  // namespace e2e
