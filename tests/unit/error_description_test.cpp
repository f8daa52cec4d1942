#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "diag/com_error.h"
#include "diag/exceptions.h"
#include "fake/fake_system_messages.h"

namespace lss {
namespace {

using test::FakeSystemMessages;

HResult Code(std::uint32_t value) { return static_cast<HResult>(value); }

TEST(ComErrorMessage, FallsBackToDispatchNumberOrHexCode) {
  struct Case {
    std::uint32_t code;
    std::u16string expected;
  } cases[] = {
      {0x800401FF, u"Unknown error 0x800401FF"},
      {0x80040200, u"Unknown error 0x80040200"},
      {0x80040201, u"IDispatch error #1"},
      {0x80040605, u"IDispatch error #1029"},
      {0x8004FFFF, u"IDispatch error #65023"},
      {0x80050000, u"Unknown error 0x80050000"},
      {0x0000000A, u"Unknown error 0xA"},
      {0, u"Unknown error 0x0"},
  };
  for (const Case& c : cases) {
    FakeSystemMessages messages;
    EXPECT_EQ(_com_error(Code(c.code)).ComErrorMessage(messages), c.expected) << std::hex << c.code;
  }
}

TEST(ComErrorMessage, DropsOneTrailingLineBreakOfTheSystemText) {
  struct Case {
    std::u16string system;
    std::u16string expected;
  } cases[] = {
      {u"Invalid parameter.\r\n", u"Invalid parameter."},
      {u"Invalid parameter.\n", u"Invalid parameter."},
      {u"Two\r\nlines\r\n", u"Two\r\nlines"},
      {u"Twice\r\n\r\n", u"Twice\r\n"},
      {u"Ends in CR\r", u"Ends in CR\r"},
      {u"\r\n", u""},
      {u"\n", u"\n"},
      {u"x", u"x"},
  };
  for (const Case& c : cases) {
    FakeSystemMessages messages;
    messages.Set(0x80070057, c.system);
    EXPECT_EQ(_com_error(Code(0x80070057)).ComErrorMessage(messages), c.expected);
    ASSERT_EQ(messages.lookups().size(), 1u);
    EXPECT_EQ(messages.lookups()[0].flags, 0x1300u);
    EXPECT_EQ(messages.lookups()[0].code, 0x80070057u);
    EXPECT_EQ(messages.lookups()[0].language, 0x0400u);
  }
}

TEST(ComErrorMessage, IsComputedOnceAndKept) {
  FakeSystemMessages messages;
  messages.Set(0x8000FFFF, u"Catastrophic failure\r\n");
  const _com_error error(Code(0x8000FFFF));
  const std::optional<std::u16string>* first = &error.ComErrorMessage(messages);
  messages.Set(0x8000FFFF, u"changed");
  EXPECT_EQ(&error.ComErrorMessage(messages), first);
  EXPECT_EQ(*first, u"Catastrophic failure");
  EXPECT_EQ(messages.lookups().size(), 1u);
}

TEST(ComErrorReport, FormatsCodeMeaningSourceAndDescription) {
  const auto info = [](std::optional<std::u16string> source, std::optional<std::u16string> text) {
    return std::make_shared<const ErrorInfo>(ErrorInfo{std::move(source), std::move(text)});
  };
  struct Case {
    _com_error error;
    std::u16string expected;
  } cases[] = {
      {_com_error(Code(0x80040605)),
       u"LSScheduler Error: Code = 80040605,Meaning = IDispatch error #1029,Source = (null),"
       u"Description = (null)"},
      {_com_error(Code(0x80070057)),
       u"LSScheduler Error: Code = 80070057,Meaning = Invalid parameter.,Source = (null),"
       u"Description = (null)"},
      {_com_error(Code(0x8000FFFF), info(u"MAPI", u"Logon refused")),
       u"LSScheduler Error: Code = 8000ffff,Meaning = Unknown error 0x8000FFFF,Source = MAPI,"
       u"Description = Logon refused"},
      {_com_error(Code(0x57), info(std::nullopt, u"")),
       u"LSScheduler Error: Code = 00000057,Meaning = Unknown error 0x57,Source = (null),"
       u"Description = "},
  };
  for (const Case& c : cases) {
    FakeSystemMessages messages;
    messages.Set(0x80070057, u"Invalid parameter.\r\n");
    EXPECT_EQ(ComErrorReport(c.error, messages), c.expected);
  }
}

TEST(DescribeComError, PrefersANonEmptyDescription) {
  FakeSystemMessages messages;
  std::uint32_t code = 0;
  const auto withText = std::make_shared<const ErrorInfo>(ErrorInfo{u"Src", u"Described"});
  EXPECT_EQ(DescribeComError(_com_error(Code(0x80004005), withText), messages, &code), u"Described");
  EXPECT_EQ(code, 0x80004005u);
  const auto empty = std::make_shared<const ErrorInfo>(ErrorInfo{u"Src", u""});
  EXPECT_EQ(DescribeComError(_com_error(Code(0x80040201), empty), messages), u"IDispatch error #1");
}

TEST(ExceptionReport, DescribesEachKindAndDisposesOfIt) {
  struct Case {
    const char* name;
    std::function<CException*()> make;
    std::u16string expected;
    std::u16string_view textForZero = {};
  } cases[] = {
      {"memory", [] { return CMemoryException::Instance(); },
       u"LSScheduler Error: Code = 8000ffff, Description = Out of memory."},
      {"resource", [] { return CResourceException::Instance(); },
       u"LSScheduler Error: Code = 8000ffff, Description = A required resource was unavailable."},
      {"not supported", [] { return CNotSupportedException::Instance(); },
       u"LSScheduler Error: Code = 8000ffff, Description = Attempted an unsupported operation."},
      {"invalid argument", [] { return CInvalidArgException::Instance(); },
       u"LSScheduler Error: Code = 8000ffff, Description = Encountered an improper argument."},
      {"bad seek", [] { return new CFileException(CFileException::kBadSeek, u"C:\\Logs\\S.log"); },
       u"LSScheduler Error: Code = 8000ffff, Description = Seek failed on C:\\Logs\\S.log"},
      {"bad seek unnamed", [] { return new CFileException(CFileException::kBadSeek, u""); },
       u"LSScheduler Error: Code = 8000ffff, Description = Seek failed on an unnamed file"},
      {"generic file error", [] { return new CFileException(CFileException::kGeneric, u"x"); },
       u"LSScheduler Error: Code = 8000ffff, Description = Unknown error 0x8000FFFF"},
      {"ole with system text", [] { return new COleException(Code(0x80070057)); },
       u"LSScheduler Error: Code = 80070057, Description = Invalid parameter.\r\n"},
      {"ole without system text", [] { return new COleException(Code(0x80004005)); },
       u"LSScheduler Error: Code = 80004005, Description = Unknown error 0x80004005"},
      {"ole with code 0", [] { return new COleException(0); },
       u"LSScheduler Error: Code = 8000ffff, Description = Unknown error 0x0"},
      {"dispatch", [] { return new COleDispatchException(Code(0x80020009), u"Outlook", u"Busy"); },
       u"LSScheduler Error: Code = 80020009, Description = Outlook:Busy"},
      {"dispatch without source", [] { return new COleDispatchException(Code(0x80020009), u"", u"Busy"); },
       u"LSScheduler Error: Code = 80020009, Description = Busy"},
      {"dispatch with code 0", [] { return new COleDispatchException(0, u"", u""); },
       u"LSScheduler Error: Code = 8000ffff, Description = Unknown error 0x0"},
      // Code 0 with a system text: the dispatch error takes the trimmed
      // message, the OLE error its own text with the line break.
      {"dispatch code 0, system text", [] { return new COleDispatchException(0, u"", u""); },
       u"LSScheduler Error: Code = 8000ffff, Description = Done.", u"Done.\r\n"},
      {"ole code 0, system text", [] { return new COleException(0); },
       u"LSScheduler Error: Code = 8000ffff, Description = Done.\r\n", u"Done.\r\n"},
  };
  for (const Case& c : cases) {
    FakeSystemMessages messages;
    messages.Set(0x80070057, u"Invalid parameter.\r\n");
    if (!c.textForZero.empty()) messages.Set(0, c.textForZero);
    // Heap objects must be freed here, process-wide ones left alone: ASan
    // reports a leak or a bad free otherwise.
    EXPECT_EQ(ExceptionReport(c.make(), messages), c.expected) << c.name;
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
  auto* exception = new COleException(Code(0x80070057));
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
