// The add-in's toolbar: blocked for a -s -e run, restored afterwards, and a
// block left behind by an interrupted run undone by the next start.
#include "harness/scheduler_test.h"

namespace e2e {
namespace {

using ::testing::ElementsAreArray;

// The log's entries, as a row states them.
template <typename... Text>
std::vector<std::string> Log(Text... texts) {
  return {texts...};
}

struct ToolbarCase {
  const char* story;
  const wchar_t* arguments;
  std::optional<RegValue> blockBefore;    // BlockToolbarLoad; nothing: missing
  std::optional<RegValue> pendingBefore;  // BlockToolbarLoadOrg
  std::optional<RegValue> blockAfter;
  std::optional<RegValue> pendingAfter;
  std::vector<std::string> log;
};

void PrintTo(const ToolbarCase& row, std::ostream* out) { *out << row.story; }

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

INSTANTIATE_TEST_SUITE_P(
    Rows, ToolbarState,
    ::testing::Values(
        ToolbarCase{"BlockToolbarLoadOrg set by hand to 1: restored before anything else, so "
                    "the -s -e run finds the toolbar blocked and leaves it so",
                    L"-s -e", Dword(0), Dword(1), Dword(1), Dword(kMinusOne), Log(kNotFound)},
        ToolbarCase{"a killed run's block is undone by a start without options", L"", Dword(1),
                    Dword(0), Dword(0), Dword(kMinusOne), Log()},
        ToolbarCase{"a pending 5 is restored by a start with -e alone", L"-e", Dword(1), Dword(5),
                    Dword(5), Dword(kMinusOne), Log()},
        ToolbarCase{"nothing pending: a start without options writes nothing", L"", std::nullopt,
                    std::nullopt, std::nullopt, std::nullopt, Log()},
        ToolbarCase{"first -s -e run: blocked and restored to 0 even though Outlook is missing",
                    L"-s -e", std::nullopt, std::nullopt, Dword(0), Dword(kMinusOne),
                    Log(kBlock, kNotFound, kDeBlock)},
        ToolbarCase{"-s -e with the other prior value 5: 5 comes back", L"-s -e", Dword(5),
                    Dword(kMinusOne), Dword(5), Dword(kMinusOne), Log(kBlock, kNotFound, kDeBlock)},
        ToolbarCase{"-s -e with the toolbar already blocked: nothing logged or written", L"-s -e",
                    Dword(1), Dword(kMinusOne), Dword(1), Dword(kMinusOne), Log(kNotFound)},
        ToolbarCase{"-s without -e leaves the toolbar alone", L"-s", Dword(5), std::nullopt,
                    Dword(5), std::nullopt, Log(kNotFound)}));

}  // namespace
}  // namespace e2e
