// Events through the event logging API, which Wine prints on its eventlog
// channel (and the call itself on the advapi channel's fixme level), and the
// message table that LSSchedulerCheck.exe carries for them.
#include <windows.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "check/check_events.h"
#include "common/rows.h"
#include "handles/win32_handles.h"
#include "harness/scratch_files.h"
#include "harness/wine_debug_log.h"
#include "platform/win32/win32_event_log.h"

namespace {

using lss::test::PrintTo;

using ::testing::HasSubstr;

// A warning and an error, with their types, ids, levels and fourteen strings,
// are in tests/e2e/check_task_test.cpp's TaskCheck rows, which the check tool
// reports through the same Win32EventLog.
struct UserCase {
  const char* what;
  lss::EventUser user;
  bool sid;  // whether ReportEventW is given a SID (Wine prints its pointer)
};

class EventLogReport : public testing::TestWithParam<UserCase> {};

TEST_P(EventLogReport, PassesTheTypeTheIdTheUserAndEachString) {
  const UserCase& c = GetParam();
  const e2e::WineDebugLog channels;
  lss::Win32EventLog log;
  EXPECT_EQ(log.Report(u"LSScheduler", lss::EventType::kInformation, 1000, c.user,
                       {u"OK", u"", u"a\nlast-run: an error"}),
            0);
  const std::string added = channels.Added();
  EXPECT_THAT(added, HasSubstr("fixme:advapi:RegisterEventSourceW ((null),L\"LSScheduler\")"));
  // Type, category, id, the SID's pointer and string count as Wine's stub shows them.
  std::smatch call;
  ASSERT_TRUE(std::regex_search(
      added, call, std::regex("ReportEventW \\(\\w+,0x0004,0x0000,0x000003e8,(\\w+),0x0003,")))
      << added;
  EXPECT_EQ(call[1].str() != "0000000000000000", c.sid) << c.what << ": " << call[1].str();
  // Each string on its own line, in order.
  EXPECT_EQ(channels.AddedLines("eventlog:ReportEventW"),
            (std::vector<std::string>{"trace:eventlog:ReportEventW L\"OK\"",
                                      "trace:eventlog:ReportEventW L\"\"",
                                      "trace:eventlog:ReportEventW L\"a\\nlast-run: an error\""}));
}

const UserCase kUsers[] = {
    {.what = "no user", .user = lss::EventUser::kNone, .sid = false},
    {.what = "this process's user", .user = lss::EventUser::kThisProcess, .sid = true},
};

INSTANTIATE_TEST_SUITE_P(, EventLogReport, testing::ValuesIn(kUsers), lss::test::RowName);

struct MessageCase {
  const char* what;
  std::uint32_t constant;  // as the check tool passes it
  DWORD id;                // as the message table must hold it
  LANGID language;
  const wchar_t* text;  // with kInserts
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
                                   L"1.0.0.7",
                                   L"2",
                                   L"BRINMOOR\\avery",
                                   L"Larkspan Nightly",
                                   L"last-run,task",
                                   L"0x8004010F",
                                   L"2026-12-07T02:00:00+05:30",
                                   L"2026-12-07T02:03:41+05:30"};

constexpr LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
constexpr LANGID kGerman = MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN);

constexpr const wchar_t* kEnglishOk =
    L"LSSchedulerCheck: FAIL (exit code 2)\r\n"
    L"User: BRINMOOR\\avery\r\n"
    L"Task: Larkspan Nightly\r\n"
    L"Log judged: C:\\Logs\\Scheduler071226020000.log\r\n"
    L"Run started: 2026-12-07T02:00:00+05:30\r\n"
    L"Run ended: 2026-12-07T02:03:41+05:30\r\n"
    L"LSScheduler.exe version: 1.0.0.7\r\n"
    L"Event layout: 2";
constexpr const wchar_t* kEnglishFindings =
    L"LSSchedulerCheck: FAIL (exit code 2)\r\n"
    L"last-run FAIL: 100% \"quoted\" %1\ntask WARN: second\r\n"
    L"User: BRINMOOR\\avery\r\n"
    L"Task: Larkspan Nightly\r\n"
    L"Checks not OK: last-run,task\r\n"
    L"First error code: 0x8004010F\r\n"
    L"Log judged: C:\\Logs\\Scheduler071226020000.log\r\n"
    L"Run started: 2026-12-07T02:00:00+05:30\r\n"
    L"Run ended: 2026-12-07T02:03:41+05:30\r\n"
    L"LSScheduler.exe version: 1.0.0.7\r\n"
    L"Event layout: 2";
constexpr const wchar_t* kGermanOk =
    L"LSSchedulerCheck: FAIL (Exitcode 2)\r\n"
    L"Benutzer: BRINMOOR\\avery\r\n"
    L"Aufgabe: Larkspan Nightly\r\n"
    L"Gepr\u00fcftes Protokoll: C:\\Logs\\Scheduler071226020000.log\r\n"
    L"Lauf begonnen: 2026-12-07T02:00:00+05:30\r\n"
    L"Lauf beendet: 2026-12-07T02:03:41+05:30\r\n"
    L"Version von LSScheduler.exe: 1.0.0.7\r\n"
    L"Ereignisformat: 2";
constexpr const wchar_t* kGermanFindings =
    L"LSSchedulerCheck: FAIL (Exitcode 2)\r\n"
    L"last-run FAIL: 100% \"quoted\" %1\ntask WARN: second\r\n"
    L"Benutzer: BRINMOOR\\avery\r\n"
    L"Aufgabe: Larkspan Nightly\r\n"
    L"Pr\u00fcfungen mit Befund: last-run,task\r\n"
    L"Erster Fehlercode: 0x8004010F\r\n"
    L"Gepr\u00fcftes Protokoll: C:\\Logs\\Scheduler071226020000.log\r\n"
    L"Lauf begonnen: 2026-12-07T02:00:00+05:30\r\n"
    L"Lauf beendet: 2026-12-07T02:03:41+05:30\r\n"
    L"Version von LSScheduler.exe: 1.0.0.7\r\n"
    L"Ereignisformat: 2";

class CheckMessageTable : public testing::TestWithParam<MessageCase> {};

// Event Viewer loads the file as data and formats the event's insertion
// strings into the message of the event's id, in the language it shows.
TEST_P(CheckMessageTable, GivesBackTheEventsTextForEachIdAndLanguage) {
  const MessageCase& c = GetParam();
  EXPECT_EQ(c.constant, c.id) << c.what;
  const std::wstring exe = e2e::PathFromEnvironment(L"LSS_CHECK_EXE");
  const lss::UniqueModule module(::LoadLibraryExW(
      exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
  ASSERT_TRUE(module) << c.what;
  wchar_t buffer[2048] = {};
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_ARGUMENT_ARRAY, module.get(), c.id, c.language,
      buffer, 2048, reinterpret_cast<va_list*>(const_cast<wchar_t**>(kInserts)));
  EXPECT_EQ(std::wstring(buffer, length), c.text) << c.what;
}

const MessageCase kMessages[] = {
    {.what = "OK in English",
     .constant = lss::check_event::kOk,
     .id = 1000,
     .language = kEnglish,
     .text = kEnglishOk},
    {.what = "WARN in English",
     .constant = lss::check_event::kWarn,
     .id = 1001,
     .language = kEnglish,
     .text = kEnglishFindings},
    {.what = "FAIL in English",
     .constant = lss::check_event::kFail,
     .id = 1002,
     .language = kEnglish,
     .text = kEnglishFindings},
    {.what = "OK in German",
     .constant = lss::check_event::kOk,
     .id = 1000,
     .language = kGerman,
     .text = kGermanOk},
    {.what = "WARN in German",
     .constant = lss::check_event::kWarn,
     .id = 1001,
     .language = kGerman,
     .text = kGermanFindings},
    {.what = "FAIL in German",
     .constant = lss::check_event::kFail,
     .id = 1002,
     .language = kGerman,
     .text = kGermanFindings},
};

INSTANTIATE_TEST_SUITE_P(, CheckMessageTable, testing::ValuesIn(kMessages), lss::test::RowName);

}  // namespace
