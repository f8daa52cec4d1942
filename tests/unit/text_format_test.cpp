#include "diag/text_format.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>

#include "common/rows.h"
#include "diag/time_stamp.h"

namespace lss {
namespace {

using test::PrintTo;

// The program's own patterns are its log tables' rows: the start of Outlook,
// the launch errors' and the reports' codes, "(null)" for a missing text.
struct FormatCase {
  const char* what;
  std::u16string actual;
  std::u16string expected;
};

const FormatCase kFormats[] = {
    {.what = "an empty text in place of %s",
     .actual = FormatText(u"[%s]", {u""}),
     .expected = u"[]"},
    {.what = "the most negative value as %d",
     .actual = FormatText(u"%d", {INT32_MIN}),
     .expected = u"-2147483648"},
    {.what = "0xFFFFFFFF as %d is minus one",
     .actual = FormatText(u"%d", {std::uint32_t{0xFFFFFFFF}}),
     .expected = u"-1"},
    {.what = "a code as %08lx is padded with zeros",
     .actual = FormatText(u"Code = %08lx", {std::int32_t{0x57}}),
     .expected = u"Code = 00000057"},
    {.what = "a negative code as %08lx is its bits",
     .actual = FormatText(u"Code = %08lx", {std::int32_t{-2147024809}}),
     .expected = u"Code = 80070057"},
    {.what = "a doubled percent sign is one",
     .actual = FormatText(u"100%% %s", {u"done"}),
     .expected = u"100% done"},
    {.what = "two conversions in order",
     .actual = FormatText(u"%d and %s", {7, u"text"}),
     .expected = u"7 and text"},
    // No argument left, or one of the wrong kind: the conversion stays as written.
    {.what = "a conversion without an argument stays",
     .actual = FormatText(u"%s and %d", {u"one"}),
     .expected = u"one and %d"},
    {.what = "a conversion of the wrong kind stays",
     .actual = FormatText(u"%d", {u"text"}),
     .expected = u"%d"},
    {.what = "unknown conversions and a lone % stay",
     .actual = FormatText(u"%x %1 50%", {}),
     .expected = u"%x %1 50%"},
    // The same decimal form without a pattern.
    {.what = "ToDecimal of 0", .actual = ToDecimal(0), .expected = u"0"},
    {.what = "ToDecimal of 15000", .actual = ToDecimal(15000), .expected = u"15000"},
    {.what = "ToDecimal of the largest value",
     .actual = ToDecimal(INT32_MAX),
     .expected = u"2147483647"},
    {.what = "ToDecimal of the most negative value",
     .actual = ToDecimal(INT32_MIN),
     .expected = u"-2147483648"},
};

class TextFormat : public testing::TestWithParam<FormatCase> {};

TEST_P(TextFormat, FillsEachConversionAndWritesDecimals) {
  const FormatCase& c = GetParam();
  EXPECT_EQ(c.actual, c.expected);
}

INSTANTIATE_TEST_SUITE_P(, TextFormat, testing::ValuesIn(kFormats), test::RowName);

// The log's name and stamp of 06-12-26 16:45:09 are the run log tables' rows.
struct TimeCase {
  const char* what;
  LocalTime time;
  std::u16string_view pattern;
  std::optional<std::u16string> expected;
};

const TimeCase kTimes[] = {
    {.what = "a two-digit year, day and hour",
     .time = {2000, 1, 31, 0, 0, 0},
     .pattern = u"%y|%d|%H",
     .expected = u"00|31|00"},
    {.what = "second 60 and an unknown conversion stay as they are",
     .time = {1999, 2, 1, 23, 59, 60},
     .pattern = u"%y %S %q %",
     .expected = u"99 60 %q %"},
    {.what = "month 13 gives nothing",
     .time = {2026, 13, 1, 0, 0, 0},
     .pattern = u"%d",
     .expected = std::nullopt},
    {.what = "day 0 gives nothing",
     .time = {2026, 1, 0, 0, 0, 0},
     .pattern = u"%d",
     .expected = std::nullopt},
    {.what = "hour 24 gives nothing",
     .time = {2026, 1, 1, 24, 0, 0},
     .pattern = u"%d",
     .expected = std::nullopt},
};

class LocalTimeFormat : public testing::TestWithParam<TimeCase> {};

TEST_P(LocalTimeFormat, FormatsTheLogPatterns) {
  const TimeCase& c = GetParam();
  EXPECT_EQ(FormatLocalTime(c.pattern, c.time), c.expected)
      << std::string(c.pattern.begin(), c.pattern.end());
}

INSTANTIATE_TEST_SUITE_P(, LocalTimeFormat, testing::ValuesIn(kTimes), test::RowName);

}  // namespace
}  // namespace lss
