#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/win32/win32_system_messages.h"

namespace {

namespace fm = lss::format_message;

struct MessageCase {
  const char* what;
  std::uint32_t flags;
  std::uint32_t code;
  std::optional<std::u16string> text;
};

class SystemMessageTexts : public testing::TestWithParam<MessageCase> {};

TEST_P(SystemMessageTexts, AreGivenAsTheSystemHasThem) {
  const MessageCase& c = GetParam();
  lss::Win32SystemMessages messages;
  EXPECT_EQ(messages.Lookup(c.flags, c.code, 0x0400), c.text) << c.what;
}

constexpr std::uint32_t kAllocated = fm::kAllocateBuffer | fm::kFromSystem | fm::kIgnoreInserts;
constexpr std::uint32_t kInBuffer = fm::kFromSystem | fm::kIgnoreInserts;

// Wine's own texts: the tests run under Wine.
INSTANTIATE_TEST_SUITE_P(
    Table, SystemMessageTexts,
    testing::Values(
        MessageCase{"plain text", kAllocated, 0x80070057, u"Invalid parameter.\r\n"},
        MessageCase{"plain text into a buffer", kInBuffer, 0x80070057, u"Invalid parameter.\r\n"},
        MessageCase{"an insert is kept", kAllocated, 0x800700C1, u"Bad EXE format for %1.\r\n"},
        MessageCase{"an insert is kept in a buffer", kInBuffer, 0x800700C1,
                    u"Bad EXE format for %1.\r\n"},
        MessageCase{"no text for the code", kAllocated, 0x8004010F, std::nullopt},
        MessageCase{"no text for the code, in a buffer", kInBuffer, 0x8004010F, std::nullopt}));

}  // namespace
