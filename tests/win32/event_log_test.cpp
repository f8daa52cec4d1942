// Events through the event logging API, which Wine prints on its eventlog
// channel (and the call itself on the advapi channel's fixme level), and the
// message table that LSSchedulerCheck.exe carries for them.
#include <windows.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "check/check_events.h"
#include "handles/win32_handles.h"
#include "harness/scratch_files.h"
#include "harness/wine_debug_log.h"
#include "platform/win32/win32_event_log.h"

namespace {

using ::testing::ContainsRegex;
using ::testing::HasSubstr;

// A warning and an error, with their types, ids, levels and seven strings, are
// in tests/e2e/check_task_test.cpp's TaskCheck rows, which the check tool
// reports through the same Win32EventLog.
TEST(EventLogReport, PassesTheTypeTheIdAndEachString) {
  const e2e::WineDebugLog channels;
  lss::Win32EventLog log;
  EXPECT_EQ(log.Report(u"LSScheduler", lss::EventType::kInformation, 1000,
                       {u"OK", u"", u"a\nlast-run: an error"}),
            0);
  const std::string added = channels.Added();
  EXPECT_THAT(added, HasSubstr("fixme:advapi:RegisterEventSourceW ((null),L\"LSScheduler\")"));
  // Type, category, id and string count as Wine's stub shows them.
  EXPECT_THAT(added, ContainsRegex("ReportEventW \\(\\w+,0x0004,0x0000,0x000003e8,\\w+,0x0003,"));
  // Each string on its own line, in order.
  EXPECT_EQ(channels.AddedLines("eventlog:ReportEventW"),
            (std::vector<std::string>{"trace:eventlog:ReportEventW L\"OK\"",
                                      "trace:eventlog:ReportEventW L\"\"",
                                      "trace:eventlog:ReportEventW L\"a\\nlast-run: an error\""}));
}

struct MessageCase {
  const char* what;
  std::uint32_t constant;  // as the check tool passes it
  DWORD id;                // as the message table must hold it
  bool findings;           // whether the text shows the findings (the third insertion)
};

// One text for each insertion: a finding with a percent sign and quotes, and
// a second line, must come through as it stands. An array of pointers is an
// argument array: its elements are as wide as a DWORD_PTR.
const wchar_t* const kInserts[] = {L"FAIL",
                                   L"2",
                                   L"last-run FAIL: 100% \"quoted\" %1\ntask WARN: second",
                                   L"C:\\Logs\\Scheduler071226020000.log",
                                   L"2026-12-07T02:00:00",
                                   L"2026-12-07T02:03:41",
                                   L"1.0.0.7"};

class CheckMessageTable : public testing::TestWithParam<MessageCase> {};

// Event Viewer loads the file as data and formats the event's insertion
// strings into the message of the event's id.
TEST_P(CheckMessageTable, GivesBackTheEventsTextForEachId) {
  const MessageCase& c = GetParam();
  EXPECT_EQ(c.constant, c.id) << c.what;
  const std::wstring exe = e2e::PathFromEnvironment(L"LSS_CHECK_EXE");
  const lss::UniqueModule module(::LoadLibraryExW(
      exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
  ASSERT_TRUE(module) << c.what;
  wchar_t buffer[1024] = {};
  const DWORD length =
      ::FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY, module.get(),
                       c.id, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), buffer, 1024,
                       reinterpret_cast<va_list*>(const_cast<wchar_t**>(kInserts)));
  EXPECT_EQ(std::wstring(buffer, length),
            std::wstring(L"LSSchedulerCheck: FAIL (exit code 2)\r\n") +
                (c.findings ? L"last-run FAIL: 100% \"quoted\" %1\ntask WARN: second\r\n" : L"") +
                L"Log judged: C:\\Logs\\Scheduler071226020000.log\r\n"
                L"Run started: 2026-12-07T02:00:00\r\n"
                L"Run ended: 2026-12-07T02:03:41\r\n"
                L"LSScheduler.exe version: 1.0.0.7")
      << c.what;
}

INSTANTIATE_TEST_SUITE_P(Table, CheckMessageTable,
                         testing::Values(MessageCase{"OK", lss::check_event::kOk, 1000, false},
                                         MessageCase{"WARN", lss::check_event::kWarn, 1001, true},
                                         MessageCase{"FAIL", lss::check_event::kFail, 1002, true}));

}  // namespace
