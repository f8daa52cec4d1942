#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "common/narrow.h"
#include "diag/com_error.h"
#include "diag/exceptions.h"
#include "fake/fake_system_messages.h"

namespace lss {
namespace {

using test::FakeSystemMessages;

// Given a COM error and the system's text for its code, its message (looked
// up once, in the user's language, with inserts ignored), its report line and
// its description: the error's own when it has one.
// The message is computed once and kept.
TEST(ComError, MessageReportAndDescription) {
  const auto info = [](std::optional<std::u16string> source, std::optional<std::u16string> text) {
    return std::make_shared<const ErrorInfo>(ErrorInfo{std::move(source), std::move(text)});
  };
  struct Case {
    std::uint32_t code;
    std::u16string system;  // empty: the system has no text
    std::shared_ptr<const ErrorInfo> info;
    std::u16string message;
    std::u16string report = {};     // empty: not looked at
    std::u16string described = {};  // empty: the message
  } cases[] = {
      {0x800401FF, u"", {}, u"Unknown error 0x800401FF"},
      {0x80040200, u"", {}, u"Unknown error 0x80040200"},
      {0x80040201, u"", {}, u"IDispatch error #1"},
      {0x80040605,
       u"",
       {},
       u"IDispatch error #1029",
       u"LSScheduler Error: Code = 80040605,Meaning = IDispatch error #1029,Source = (null),"
       u"Description = (null)"},
      {0x8004FFFF, u"", {}, u"IDispatch error #65023"},
      {0x80050000, u"", {}, u"Unknown error 0x80050000"},
      {0x0000000A, u"", {}, u"Unknown error 0xA"},
      {0, u"", {}, u"Unknown error 0x0"},
      // One trailing line break of the system's text is dropped.
      {0x80070057,
       u"Invalid parameter.\r\n",
       {},
       u"Invalid parameter.",
       u"LSScheduler Error: Code = 80070057,Meaning = Invalid parameter.,Source = (null),"
       u"Description = (null)"},
      {0x80070057, u"Invalid parameter.\n", {}, u"Invalid parameter."},
      {0x80070057, u"Two\r\nlines\r\n", {}, u"Two\r\nlines"},
      {0x80070057, u"Twice\r\n\r\n", {}, u"Twice\r\n"},
      {0x80070057, u"Ends in CR\r", {}, u"Ends in CR\r"},
      {0x80070057, u"\r\n", {}, u""},
      {0x80070057, u"\n", {}, u"\n"},
      {0x80070057, u"x", {}, u"x"},
      {0x8000FFFF, u"", info(u"MAPI", u"Logon refused"), u"Unknown error 0x8000FFFF",
       u"LSScheduler Error: Code = 8000ffff,Meaning = Unknown error 0x8000FFFF,Source = MAPI,"
       u"Description = Logon refused",
       u"Logon refused"},
      {0x57, u"", info(std::nullopt, u""), u"Unknown error 0x57",
       u"LSScheduler Error: Code = 00000057,Meaning = Unknown error 0x57,Source = (null),"
       u"Description = "},
      {0x80004005, u"", info(u"Src", u"Described"), u"Unknown error 0x80004005", u"", u"Described"},
      {0x80040201, u"", info(u"Src", u""), u"IDispatch error #1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.code << " " << test::Narrow(c.system));
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
}

// Each kind's report, after "LSScheduler Error: Code = ". Out of memory and
// the resource exception are the run's failure table's rows.
TEST(ExceptionReport, DescribesEachKindAndDisposesOfIt) {
  struct Case {
    std::function<CException*()> make;
    std::u16string expected;
    std::u16string_view textForZero = {};
  } cases[] = {
      {[] { return CNotSupportedException::Instance(); },
       u"8000ffff, Description = Attempted an unsupported operation."},
      {[] { return CInvalidArgException::Instance(); },
       u"8000ffff, Description = Encountered an improper argument."},
      {[] { return new CFileException(CFileException::kBadSeek, u"C:\\Logs\\S.log"); },
       u"8000ffff, Description = Seek failed on C:\\Logs\\S.log"},
      {[] { return new CFileException(CFileException::kBadSeek, u""); },
       u"8000ffff, Description = Seek failed on an unnamed file"},
      {[] { return new CFileException(CFileException::kGeneric, u"x"); },
       u"8000ffff, Description = Unknown error 0x8000FFFF"},
      {[] { return new COleException(HResult(0x80070057)); },
       u"80070057, Description = Invalid parameter.\r\n"},
      {[] { return new COleException(HResult(0x80004005)); },
       u"80004005, Description = Unknown error 0x80004005"},
      {[] { return new COleException(0); }, u"8000ffff, Description = Unknown error 0x0"},
      {[] { return new COleDispatchException(HResult(0x80020009), u"Outlook", u"Busy"); },
       u"80020009, Description = Outlook:Busy"},
      {[] { return new COleDispatchException(HResult(0x80020009), u"", u"Busy"); },
       u"80020009, Description = Busy"},
      {[] { return new COleDispatchException(0, u"", u""); },
       u"8000ffff, Description = Unknown error 0x0"},
      // Code 0 with a system text: the dispatch error takes the trimmed
      // message, the OLE error its own text with the line break.
      {[] { return new COleDispatchException(0, u"", u""); }, u"8000ffff, Description = Done.",
       u"Done.\r\n"},
      {[] { return new COleException(0); }, u"8000ffff, Description = Done.\r\n", u"Done.\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(test::Narrow(c.expected));
    FakeSystemMessages messages;
    messages.Set(0x80070057, u"Invalid parameter.\r\n");
    if (!c.textForZero.empty()) messages.Set(0, c.textForZero);
    // Heap objects must be freed here, process-wide ones left alone: ASan
    // reports a leak or a bad free otherwise.
    EXPECT_EQ(ExceptionReport(c.make(), messages), u"LSScheduler Error: Code = " + c.expected);
  }
}

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
