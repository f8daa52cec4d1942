#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "common/rows.h"
#include "platform/win32/win32_system_messages.h"

namespace {

using lss::test::PrintTo;

namespace fm = lss::format_message;

struct MessageCase {
  const char* what;
  std::uint32_t code;
  std::optional<std::u16string> text;
};

class SystemMessageTexts : public testing::TestWithParam<MessageCase> {};

// The same text in a buffer the system allocates and in the caller's.
TEST_P(SystemMessageTexts, AreGivenAsTheSystemHasThem) {
  const MessageCase& c = GetParam();
  lss::Win32SystemMessages messages;
  for (const std::uint32_t flags : {fm::kAllocateBuffer | fm::kFromSystem | fm::kIgnoreInserts,
                                    fm::kFromSystem | fm::kIgnoreInserts}) {
    EXPECT_EQ(messages.Lookup(flags, c.code, 0x0400), c.text) << c.what << ", flags " << flags;
  }
}

// Wine's own texts: the tests run under Wine.
const MessageCase kMessages[] = {
    {.what = "plain text", .code = 0x80070057, .text = u"Invalid parameter.\r\n"},
    {.what = "an insert is kept", .code = 0x800700C1, .text = u"Bad EXE format for %1.\r\n"},
    {.what = "no text for the code", .code = 0x8004010F, .text = std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(, SystemMessageTexts, testing::ValuesIn(kMessages), lss::test::RowName);

}  // namespace
