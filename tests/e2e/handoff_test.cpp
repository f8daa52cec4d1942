// Every start hands the task's name to the add-in, whatever the options; with
// -s the wait for Outlook's start gets its default.
#include "common/rows.h"
#include "harness/scheduler_test.h"

namespace e2e {
namespace {

using lss::test::PrintTo;

using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;

struct HandOffCase {
  const char* what;
  const wchar_t* arguments;
  bool earlierRun;  // the values a finished run and the add-in left behind, or none at all
  const wchar_t* taskName;
};

class HandOff : public SchedulerTest, public ::testing::WithParamInterface<HandOffCase> {};

TEST_P(HandOff, EveryStartWritesTheValuesForTheAddIn) {
  const HandOffCase& row = GetParam();
  if (row.earlierRun) {
    SetAdminOption(L"TaskName", RegValue::Sz(L"Weekly"));
    SetAdminOption(L"TaskRun", Dword(0));
    SetAdminOption(L"AutoRunExit", Dword(5));
  } else {
    ASSERT_FALSE(KeyExists(HKEY_CURRENT_USER, kProductKey));  // a user who never ran the program
  }

  RunScheduler(row.arguments);

  EXPECT_EQ(AdminOption(L"TaskName"), RegValue::Sz(row.taskName));  // "": REG_SZ of the NUL alone
  EXPECT_EQ(AdminOption(L"TaskRun"), Dword(1));
  EXPECT_EQ(AdminOption(L"AutoRunExit"), Dword(0));
  EXPECT_THAT(ValueNames(HKEY_CURRENT_USER, kAdminOptionsKey),
              UnorderedElementsAre(L"TaskName", L"TaskRun", L"AutoRunExit"));
  // The toolbar recovery's read created the Settings key and wrote nothing there.
  ASSERT_TRUE(KeyExists(HKEY_CURRENT_USER, kSettingsKey));
  EXPECT_THAT(ValueNames(HKEY_CURRENT_USER, kSettingsKey), IsEmpty());
}

const HandOffCase kHandOffs[] = {
    {.what = "a first start without arguments hands on an empty name",
     .arguments = L"",
     .earlierRun = false,
     .taskName = L""},
    {.what = "a start without arguments replaces what an earlier run left",
     .arguments = L"",
     .earlierRun = true,
     .taskName = L""},
    {.what = "-e alone hands on an empty name",
     .arguments = L"-e",
     .earlierRun = true,
     .taskName = L""},
    {.what = "-n hands on the name after it",
     .arguments = L"-n Nightly extra",
     .earlierRun = true,
     .taskName = L"Nightly"},
    {.what = "/Name hands on a quoted name with a blank whole",
     .arguments = L"/Name \"Night Shift\"",
     .earlierRun = true,
     .taskName = L"Night Shift"},
    {.what = "the last -n wins", .arguments = L"-n A -n B", .earlierRun = true, .taskName = L"B"},
};

INSTANTIATE_TEST_SUITE_P(, HandOff, testing::ValuesIn(kHandOffs), lss::test::RowName);

struct WaitCase {
  const char* what;
  std::optional<RegValue> before;  // WaitSecondsForOutlookStart; nothing: missing
  std::optional<RegValue> after;
  const wchar_t* arguments = L"-s";
};

class WaitSecondsDefault : public SchedulerTest, public ::testing::WithParamInterface<WaitCase> {};

TEST_P(WaitSecondsDefault, BelowOneBecomesFifteenAndIsStored) {
  // Outlook is not installed, so the run ends without waiting for it.
  const WaitCase& row = GetParam();
  if (row.before) SetSetting(L"WaitSecondsForOutlookStart", *row.before);

  RunScheduler(row.arguments);

  EXPECT_EQ(Setting(L"WaitSecondsForOutlookStart"), row.after);
}

// A REG_BINARY value of 4 bytes reads as the same number as a DWORD, and a
// rewrite would turn it into a REG_DWORD: so it shows that nothing was written.
const WaitCase kWaits[] = {
    {.what = "missing, -s", .before = std::nullopt, .after = Dword(15)},
    {.what = "0, -s", .before = Dword(0), .after = Dword(15)},
    {.what = "0xFFFFFFFF, -s", .before = Dword(kMinusOne), .after = Dword(15)},
    {.what = "0x80000000, -s", .before = Dword(0x80000000), .after = Dword(15)},
    {.what = "1, -s", .before = Dword(1), .after = Dword(1)},
    {.what = "3600, -s", .before = Dword(3600), .after = Dword(3600)},
    {.what = "1 as 4 binary bytes, -s",
     .before = RegValue{REG_BINARY, Dword(1).data},
     .after = RegValue{REG_BINARY, Dword(1).data}},
    {.what = "3600 as 4 binary bytes, -s",
     .before = RegValue{REG_BINARY, Dword(3600).data},
     .after = RegValue{REG_BINARY, Dword(3600).data}},
    {.what = "0, no -s", .before = Dword(0), .after = Dword(0), .arguments = L""},
};

INSTANTIATE_TEST_SUITE_P(, WaitSecondsDefault, testing::ValuesIn(kWaits), lss::test::RowName);

}  // namespace
}  // namespace e2e
