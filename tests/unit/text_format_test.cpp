#include "diag/text_format.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>

#include "diag/time_stamp.h"

namespace lss {
namespace {

// The program's own patterns are its log tables' rows: the start of Outlook,
// the launch errors' and the reports' codes, "(null)" for a missing text.
TEST(FormatText, FillsEachConversionAndWritesDecimals) {
  struct Case {
    std::u16string actual;
    std::u16string expected;
  } cases[] = {
      {FormatText(u"[%s]", {u""}), u"[]"},
      {FormatText(u"%d", {INT32_MIN}), u"-2147483648"},
      {FormatText(u"%d", {std::uint32_t{0xFFFFFFFF}}), u"-1"},
      {FormatText(u"Code = %08lx", {std::int32_t{0x57}}), u"Code = 00000057"},
      {FormatText(u"Code = %08lx", {std::int32_t{-2147024809}}), u"Code = 80070057"},
      {FormatText(u"100%% %s", {u"done"}), u"100% done"},
      {FormatText(u"%d and %s", {7, u"text"}), u"7 and text"},
      // No argument left, or one of the wrong kind: the conversion stays as written.
      {FormatText(u"%s and %d", {u"one"}), u"one and %d"},
      {FormatText(u"%d", {u"text"}), u"%d"},
      {FormatText(u"%x %1 50%", {}), u"%x %1 50%"},
      // The same decimal form without a pattern.
      {ToDecimal(0), u"0"},
      {ToDecimal(15000), u"15000"},
      {ToDecimal(INT32_MAX), u"2147483647"},
      {ToDecimal(INT32_MIN), u"-2147483648"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.actual, c.expected);
}

// The log's name and stamp of 06-12-26 16:45:09 are the run log tables' rows.
TEST(FormatLocalTime, FormatsTheLogPatterns) {
  struct Case {
    LocalTime time;
    std::u16string_view pattern;
    std::optional<std::u16string> expected;
  } cases[] = {
      {{2000, 1, 31, 0, 0, 0}, u"%y|%d|%H", u"00|31|00"},
      {{1999, 2, 1, 23, 59, 60}, u"%y %S %q %", u"99 60 %q %"},
      {{2026, 13, 1, 0, 0, 0}, u"%d", std::nullopt},
      {{2026, 1, 0, 0, 0, 0}, u"%d", std::nullopt},
      {{2026, 1, 1, 24, 0, 0}, u"%d", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatLocalTime(c.pattern, c.time), c.expected)
        << std::string(c.pattern.begin(), c.pattern.end());
  }
}

}  // namespace
}  // namespace lss
