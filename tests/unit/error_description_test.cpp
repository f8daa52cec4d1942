#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "common/narrow.h"
#include "common/rows.h"
#include "diag/com_error.h"
#include "diag/exceptions.h"
#include "fake/fake_system_messages.h"

namespace lss {
namespace {

using test::PrintTo;

using test::FakeSystemMessages;

std::shared_ptr<const ErrorInfo> Info(std::optional<std::u16string> source,
                                      std::optional<std::u16string> text) {
  return std::make_shared<const ErrorInfo>(ErrorInfo{std::move(source), std::move(text)});
}

// Given a COM error and the system's text for its code, its message (looked
// up once, in the user's language, with inserts ignored), its report line and
// its description: the error's own when it has one.
// The message is computed once and kept.
struct ComErrorCase {
  const char* what;
  std::uint32_t code;
  std::u16string system;  // empty: the system has no text
  std::shared_ptr<const ErrorInfo> info;
  std::u16string message;
  std::u16string report = {};     // empty: not looked at
  std::u16string described = {};  // empty: the message
};

const ComErrorCase kComErrors[] = {
    {.what = "a code just below the dispatch errors is unknown",
     .code = 0x800401FF,
     .message = u"Unknown error 0x800401FF"},
    {.what = "0x80040200, before the dispatch errors, is unknown",
     .code = 0x80040200,
     .message = u"Unknown error 0x80040200"},
    {.what = "0x80040201 is the first dispatch error",
     .code = 0x80040201,
     .message = u"IDispatch error #1"},
    {.what = "0x80040605 is dispatch error 1029, reported with null texts",
     .code = 0x80040605,
     .message = u"IDispatch error #1029",
     .report =
         u"LSScheduler Error: Code = 80040605,Meaning = IDispatch error #1029,Source = (null),"
         u"Description = (null)"},
    {.what = "0x8004FFFF is the last dispatch error",
     .code = 0x8004FFFF,
     .message = u"IDispatch error #65023"},
    {.what = "0x80050000, past the dispatch errors, is unknown",
     .code = 0x80050000,
     .message = u"Unknown error 0x80050000"},
    {.what = "a small code is unknown, in hex without leading zeros",
     .code = 0x0000000A,
     .message = u"Unknown error 0xA"},
    {.what = "code 0 without a text is unknown", .code = 0, .message = u"Unknown error 0x0"},
    // One trailing line break of the system's text is dropped.
    {.what = "one trailing CR LF of the system's text is dropped",
     .code = 0x80070057,
     .system = u"Invalid parameter.\r\n",
     .message = u"Invalid parameter.",
     .report = u"LSScheduler Error: Code = 80070057,Meaning = Invalid parameter.,Source = (null),"
               u"Description = (null)"},
    {.what = "a trailing LF is dropped",
     .code = 0x80070057,
     .system = u"Invalid parameter.\n",
     .message = u"Invalid parameter."},
    {.what = "of two lines only the last line break is dropped",
     .code = 0x80070057,
     .system = u"Two\r\nlines\r\n",
     .message = u"Two\r\nlines"},
    {.what = "of two trailing line breaks one is dropped",
     .code = 0x80070057,
     .system = u"Twice\r\n\r\n",
     .message = u"Twice\r\n"},
    {.what = "a trailing CR alone stays",
     .code = 0x80070057,
     .system = u"Ends in CR\r",
     .message = u"Ends in CR\r"},
    {.what = "a text of one line break becomes empty",
     .code = 0x80070057,
     .system = u"\r\n",
     .message = u""},
    {.what = "a text of one LF stays", .code = 0x80070057, .system = u"\n", .message = u"\n"},
    {.what = "a text without a line break stays",
     .code = 0x80070057,
     .system = u"x",
     .message = u"x"},
    {.what = "the error's own description is described and its source reported",
     .code = 0x8000FFFF,
     .info = Info(u"MAPI", u"Logon refused"),
     .message = u"Unknown error 0x8000FFFF",
     .report =
         u"LSScheduler Error: Code = 8000ffff,Meaning = Unknown error 0x8000FFFF,Source = MAPI,"
         u"Description = Logon refused",
     .described = u"Logon refused"},
    {.what = "an error info without a source reports null and an empty description",
     .code = 0x57,
     .info = Info(std::nullopt, u""),
     .message = u"Unknown error 0x57",
     .report = u"LSScheduler Error: Code = 00000057,Meaning = Unknown error 0x57,Source = (null),"
               u"Description = "},
    {.what = "the error's description is taken over the message",
     .code = 0x80004005,
     .info = Info(u"Src", u"Described"),
     .message = u"Unknown error 0x80004005",
     .described = u"Described"},
    {.what = "an empty description falls back to the message",
     .code = 0x80040201,
     .info = Info(u"Src", u""),
     .message = u"IDispatch error #1"},
};

class ComError : public testing::TestWithParam<ComErrorCase> {};

TEST_P(ComError, GivesItsMessageReportAndDescription) {
  const ComErrorCase& c = GetParam();
  FakeSystemMessages messages;
  if (!c.system.empty()) messages.Set(c.code, c.system);
  const _com_error error(HResult(c.code), c.info);
  const std::optional<std::u16string>* first = &error.ComErrorMessage(messages);
  EXPECT_EQ(*first, c.message);
  messages.Set(c.code, u"changed");  // computed once and kept
  EXPECT_EQ(&error.ComErrorMessage(messages), first);
  EXPECT_EQ(*first, c.message);
  if (!c.report.empty()) {
    EXPECT_EQ(ComErrorReport(error, messages), c.report);
  }
  std::uint32_t code = 0;
  EXPECT_EQ(DescribeComError(error, messages, &code),
            c.described.empty() ? c.message : c.described);
  EXPECT_EQ(code, c.code);
  ASSERT_EQ(messages.lookups().size(), 1u);
  EXPECT_EQ(messages.lookups()[0].flags, 0x1300u);
  EXPECT_EQ(messages.lookups()[0].code, c.code);
  EXPECT_EQ(messages.lookups()[0].language, 0x0400u);
}

INSTANTIATE_TEST_SUITE_P(, ComError, testing::ValuesIn(kComErrors), test::RowName);

// Each kind's report, after "LSScheduler Error: Code = ". Out of memory and
// the resource exception are the run's failure table's rows.
struct KindCase {
  const char* what;
  std::function<CException*()> make;
  std::u16string expected;
  std::u16string_view textForZero = {};
};

const KindCase kKinds[] = {
    {.what = "an unsupported operation",
     .make = [] { return CNotSupportedException::Instance(); },
     .expected = u"8000ffff, Description = Attempted an unsupported operation."},
    {.what = "an improper argument",
     .make = [] { return CInvalidArgException::Instance(); },
     .expected = u"8000ffff, Description = Encountered an improper argument."},
    {.what = "a bad seek names the file",
     .make = [] { return new CFileException(CFileException::kBadSeek, u"C:\\Logs\\S.log"); },
     .expected = u"8000ffff, Description = Seek failed on C:\\Logs\\S.log"},
    {.what = "a bad seek on an unnamed file",
     .make = [] { return new CFileException(CFileException::kBadSeek, u""); },
     .expected = u"8000ffff, Description = Seek failed on an unnamed file"},
    {.what = "another file error is an unknown error",
     .make = [] { return new CFileException(CFileException::kGeneric, u"x"); },
     .expected = u"8000ffff, Description = Unknown error 0x8000FFFF"},
    {.what = "an OLE error's system text keeps its line break",
     .make = [] { return new COleException(HResult(0x80070057)); },
     .expected = u"80070057, Description = Invalid parameter.\r\n"},
    {.what = "an OLE error without a text is unknown",
     .make = [] { return new COleException(HResult(0x80004005)); },
     .expected = u"80004005, Description = Unknown error 0x80004005"},
    {.what = "an OLE error of code 0 without a text",
     .make = [] { return new COleException(0); },
     .expected = u"8000ffff, Description = Unknown error 0x0"},
    {.what = "a dispatch error names its source",
     .make = [] { return new COleDispatchException(HResult(0x80020009), u"Outlook", u"Busy"); },
     .expected = u"80020009, Description = Outlook:Busy"},
    {.what = "a dispatch error without a source",
     .make = [] { return new COleDispatchException(HResult(0x80020009), u"", u"Busy"); },
     .expected = u"80020009, Description = Busy"},
    {.what = "a dispatch error of code 0 without texts",
     .make = [] { return new COleDispatchException(0, u"", u""); },
     .expected = u"8000ffff, Description = Unknown error 0x0"},
    // Code 0 with a system text: the dispatch error takes the trimmed
    // message, the OLE error its own text with the line break.
    {.what = "a dispatch error of code 0 takes the system's trimmed text",
     .make = [] { return new COleDispatchException(0, u"", u""); },
     .expected = u"8000ffff, Description = Done.",
     .textForZero = u"Done.\r\n"},
    {.what = "an OLE error of code 0 takes the system's text with its line break",
     .make = [] { return new COleException(0); },
     .expected = u"8000ffff, Description = Done.\r\n",
     .textForZero = u"Done.\r\n"},
};

class ExceptionKinds : public testing::TestWithParam<KindCase> {};

TEST_P(ExceptionKinds, AreReportedAndDisposedOf) {
  const KindCase& c = GetParam();
  FakeSystemMessages messages;
  messages.Set(0x80070057, u"Invalid parameter.\r\n");
  if (!c.textForZero.empty()) messages.Set(0, c.textForZero);
  // Heap objects must be freed here, process-wide ones left alone: ASan
  // reports a leak or a bad free otherwise.
  EXPECT_EQ(ExceptionReport(c.make(), messages), u"LSScheduler Error: Code = " + c.expected);
}

INSTANTIATE_TEST_SUITE_P(, ExceptionKinds, testing::ValuesIn(kKinds), test::RowName);

TEST(ExceptionReport, NullExceptionWritesNothing) {
  FakeSystemMessages messages;
  EXPECT_EQ(ExceptionReport(nullptr, messages), std::nullopt);
  std::uint32_t code = 0;
  EXPECT_EQ(DescribeException(nullptr, messages, &code, true), u"");
  EXPECT_EQ(code, 0x8000FFFFu);
}

TEST(DescribeException, OleMessageComesFromTheSystemLanguageAndIsCutTo510) {
  FakeSystemMessages messages;
  messages.Set(0x80070057, std::u16string(600, u'm'));
  auto* exception = new COleException(HResult(0x80070057));
  std::uint32_t code = 0;
  // Without the delete flag the object stays usable; describing it twice proves it.
  EXPECT_EQ(DescribeException(exception, messages, &code, false), std::u16string(510, u'm'));
  EXPECT_EQ(DescribeException(exception, messages, nullptr, false).size(), 510u);
  exception->Delete();
  EXPECT_EQ(code, 0x80070057u);
  ASSERT_FALSE(messages.lookups().empty());
  EXPECT_EQ(messages.lookups()[0].flags, 0x1100u);
  EXPECT_EQ(messages.lookups()[0].language, 0x0800u);
}

}  // namespace
}  // namespace lss
