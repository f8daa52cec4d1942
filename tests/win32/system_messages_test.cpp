#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/win32/win32_system_messages.h"

namespace {

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
INSTANTIATE_TEST_SUITE_P(
    Table, SystemMessageTexts,
    testing::Values(MessageCase{"plain text", 0x80070057, u"Invalid parameter.\r\n"},
                    MessageCase{"an insert is kept", 0x800700C1, u"Bad EXE format for %1.\r\n"},
                    MessageCase{"no text for the code", 0x8004010F, std::nullopt}));

}  // namespace
