#include "diag/text_format.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>

#include "diag/time_stamp.h"

namespace lss {
namespace {

TEST(FormatText, FillsEachConversionAndWritesDecimals) {
  const std::u16string path = u"C:\\Program Files\\Outlook.exe /recycle";
  struct Case {
    std::u16string actual;
    std::u16string expected;
  } cases[] = {
      {FormatText(u"KSScheduler: Starting Outlook %s", {path}),
       u"KSScheduler: Starting Outlook C:\\Program Files\\Outlook.exe /recycle"},
      {FormatText(u"Source = %s,", {std::nullopt}), u"Source = (null),"},
      {FormatText(u"[%s]", {u""}), u"[]"},
      {FormatText(u"Unknown Error (%d) occurred.", {-5}), u"Unknown Error (-5) occurred."},
      {FormatText(u"%d", {INT32_MIN}), u"-2147483648"},
      {FormatText(u"%d", {std::uint32_t{0xFFFFFFFF}}), u"-1"},
      {FormatText(u"Code = %08lx", {std::uint32_t{0x8000FFFF}}), u"Code = 8000ffff"},
      {FormatText(u"Code = %08lx", {std::int32_t{0x57}}), u"Code = 00000057"},
      {FormatText(u"Code = %08lx", {std::int32_t{-2147024809}}), u"Code = 80070057"},
      {FormatText(u"0x%0lX", {std::uint32_t{0x8004abcd}}), u"0x8004ABCD"},
      {FormatText(u"0x%0lX", {std::uint32_t{0}}), u"0x0"},
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

TEST(FormatLocalTime, FormatsTheLogPatterns) {
  struct Case {
    LocalTime time;
    std::u16string_view pattern;
    std::optional<std::u16string> expected;
  } cases[] = {
      {{2026, 12, 6, 16, 45, 9}, u"%d%m%y%H%M%S", u"061226164509"},
      {{2026, 12, 6, 16, 45, 9}, u"%d-%m-%y %H:%M:%S:", u"06-12-26 16:45:09:"},
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
