// Every start hands the task's name to the add-in, whatever the options; with
// -s the wait for Outlook's start gets its default.
#include "harness/scheduler_test.h"

namespace e2e {
namespace {

using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;

struct HandOffCase {
  const wchar_t* arguments;
  bool earlierRun;  // the values a finished run and the add-in left behind, or none at all
  const wchar_t* taskName;
};

void PrintTo(const HandOffCase& row, std::ostream* out) {
  *out << "arguments \"" << Narrow(row.arguments) << "\""
       << (row.earlierRun ? "" : ", first start");
}

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

INSTANTIATE_TEST_SUITE_P(
    Rows, HandOff,
    ::testing::Values(HandOffCase{L"", false, L""}, HandOffCase{L"", true, L""},
                      HandOffCase{L"-e", true, L""},
                      HandOffCase{L"-n Nightly extra", true, L"Nightly"},
                      HandOffCase{L"/Name \"Night Shift\"", true, L"Night Shift"},
                      HandOffCase{L"-n A -n B", true, L"B"}));

struct WaitCase {
  const char* story;
  std::optional<RegValue> before;  // WaitSecondsForOutlookStart; nothing: missing
  std::optional<RegValue> after;
  const wchar_t* arguments = L"-s";
};

void PrintTo(const WaitCase& row, std::ostream* out) { *out << row.story; }

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
INSTANTIATE_TEST_SUITE_P(
    Rows, WaitSecondsDefault,
    ::testing::Values(WaitCase{"missing, -s", std::nullopt, Dword(15)},
                      WaitCase{"0, -s", Dword(0), Dword(15)},
                      WaitCase{"0xFFFFFFFF, -s", Dword(kMinusOne), Dword(15)},
                      WaitCase{"0x80000000, -s", Dword(0x80000000), Dword(15)},
                      WaitCase{"1, -s", Dword(1), Dword(1)},
                      WaitCase{"3600, -s", Dword(3600), Dword(3600)},
                      WaitCase{"1 as 4 binary bytes, -s", RegValue{REG_BINARY, Dword(1).data},
                               RegValue{REG_BINARY, Dword(1).data}},
                      WaitCase{"3600 as 4 binary bytes, -s", RegValue{REG_BINARY, Dword(3600).data},
                               RegValue{REG_BINARY, Dword(3600).data}},
                      WaitCase{"0, no -s", Dword(0), Dword(0), L""}));

}  // namespace
}  // namespace e2e
