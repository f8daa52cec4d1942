// Events through the event logging API, which Wine prints on its eventlog
// channel (and the call itself on the advapi channel's fixme level), and the
// message table that LSSchedulerCheck.exe carries for them.
#include <windows.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "check/check_events.h"
#include "harness/scratch_files.h"
#include "harness/wine_debug_log.h"
#include "handles/win32_handles.h"
#include "platform/win32/win32_event_log.h"

namespace {

using ::testing::HasSubstr;

struct EventCase {
  const char* what;
  lss::EventType type;
  std::uint32_t id;
  const char16_t* text;
  const char* call;  // type, category and id as Wine's stub shows them
  const char* shown;
};

class EventLogReport : public testing::TestWithParam<EventCase> {};

TEST_P(EventLogReport, PassesTheTypeTheIdAndTheWholeText) {
  const EventCase& c = GetParam();
  const e2e::WineDebugLog channels;
  lss::Win32EventLog log;
  EXPECT_EQ(log.Report(u"LSScheduler", c.type, c.id, c.text), 0) << c.what;
  const std::string added = channels.Added();
  EXPECT_THAT(added, HasSubstr(c.call)) << c.what;
  EXPECT_THAT(added, HasSubstr(c.shown)) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, EventLogReport,
    testing::Values(EventCase{"information", lss::EventType::kInformation, 1000, u"OK",
                              ",0x0004,0x0000,0x000003e8,",
                              "trace:eventlog:ReportEventW L\"OK\"\n"},
                    EventCase{"warning", lss::EventType::kWarning, 1001, u"WARN: task: not found",
                              ",0x0002,0x0000,0x000003e9,",
                              "warn:eventlog:ReportEventW L\"WARN: task: not found\"\n"},
                    EventCase{"error, two lines", lss::EventType::kError, 1002,
                              u"FAIL\r\nlast-run: an error", ",0x0001,0x0000,0x000003ea,",
                              "err:eventlog:ReportEventW L\"FAIL\\r\\nlast-run: an error\"\n"}),
    [](const auto& row) { return std::to_string(row.index); });

struct MessageCase {
  const char* what;
  std::uint32_t constant;  // as the check tool passes it
  DWORD id;                // as the message table must hold it
};

class CheckMessageTable : public testing::TestWithParam<MessageCase> {};

// Event Viewer loads the file as data and formats the event's text into the
// message of the event's id.
TEST_P(CheckMessageTable, GivesBackTheEventsTextForEachId) {
  const MessageCase& c = GetParam();
  EXPECT_EQ(c.constant, c.id) << c.what;
  const std::wstring exe = e2e::PathFromEnvironment(L"LSS_CHECK_EXE");
  const lss::UniqueModule module(::LoadLibraryExW(
      exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
  ASSERT_TRUE(module) << c.what;
  const wchar_t* text = L"FAIL: last-run: 100% \"quoted\"";
  const DWORD_PTR inserts[] = {reinterpret_cast<DWORD_PTR>(text)};
  wchar_t buffer[256] = {};
  const DWORD length =
      ::FormatMessageW(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY, module.get(),
                       c.id, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), buffer, 256,
                       reinterpret_cast<va_list*>(const_cast<DWORD_PTR*>(inserts)));
  EXPECT_EQ(std::wstring(buffer, length), text) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Table, CheckMessageTable,
                         testing::Values(MessageCase{"OK", lss::check_event::kOk, 1000},
                                         MessageCase{"WARN", lss::check_event::kWarn, 1001},
                                         MessageCase{"FAIL", lss::check_event::kFail, 1002}),
                         [](const auto& row) { return std::to_string(row.index); });

}  // namespace
