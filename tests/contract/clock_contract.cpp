// What the clock's local time is, in the tests' time zone: TZ=IST-5:30 under
// Wine, the same fixed offset on the fake clock. Local time is UTC plus 330
// minutes, all year round.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <tuple>

#include "common/rows.h"
#include "contract/contract_machine.h"

namespace lss::contract {
namespace {

struct LocalCase {
  const char* what;
  std::int64_t seconds;
  bool converts;
  LocalTime local = {};  // when it converts
};

class LocalCalendar : public testing::TestWithParam<LocalCase> {};

TEST_P(LocalCalendar, IsUtcPlusFiveAndAHalfHours) {
  const LocalCase& c = GetParam();
  const std::unique_ptr<ContractMachine> machine = MakeContractMachine();
  LocalTime local;
  ASSERT_EQ(machine->clock().ToLocal(c.seconds, &local), c.converts) << c.seconds;
  if (!c.converts) return;
  EXPECT_EQ(std::tie(local.year, local.month, local.day, local.hour, local.minute, local.second),
            std::tie(c.local.year, c.local.month, c.local.day, c.local.hour, c.local.minute,
                     c.local.second))
      << c.seconds;
}

const LocalCase kLocalTimes[] = {
    {.what = "the epoch is 05:30", .seconds = 0, .converts = true, .local = {1970, 1, 1, 5, 30, 0}},
    {.what = "a second before the epoch",
     .seconds = -1,
     .converts = true,
     .local = {1970, 1, 1, 5, 29, 59}},
    {.what = "18:30 UTC is midnight of the next day",
     .seconds = 1796581800,
     .converts = true,
     .local = {2026, 12, 7, 0, 0, 0}},
    {.what = "a second before local midnight",
     .seconds = 1796581799,
     .converts = true,
     .local = {2026, 12, 6, 23, 59, 59}},
    {.what = "midsummer has no daylight time",
     .seconds = 1782863999,
     .converts = true,
     .local = {2026, 7, 1, 5, 29, 59}},
    {.what = "a leap day", .seconds = 951762600, .converts = true, .local = {2000, 2, 29, 0, 0, 0}},
    {.what = "the first FILETIME",
     .seconds = -11644473600,
     .converts = true,
     .local = {1601, 1, 1, 5, 30, 0}},
    {.what = "a second before the first FILETIME does not convert",
     .seconds = -11644473601,
     .converts = false},
    {.what = "the largest second count does not convert",
     .seconds = std::numeric_limits<std::int64_t>::max(),
     .converts = false},
};

INSTANTIATE_TEST_SUITE_P(, LocalCalendar, testing::ValuesIn(kLocalTimes), test::RowName);

// The offset from UTC of a local time, by the zone's rules for its date.
struct OffsetCase {
  const char* what;
  LocalTime local;
  std::optional<std::int32_t> minutes;  // nothing: cannot be converted
  const char* wineDiffers = nullptr;    // why Wine cannot show the row as Windows does
};

class UtcOffset : public testing::TestWithParam<OffsetCase> {};

TEST_P(UtcOffset, IsTheZonesForThatLocalTime) {
  const OffsetCase& c = GetParam();
  if (c.wineDiffers != nullptr && OnWine()) GTEST_SKIP() << c.wineDiffers;
  const std::unique_ptr<ContractMachine> machine = MakeContractMachine();
  EXPECT_EQ(machine->queries().UtcOffsetMinutes(c.local), c.minutes) << c.what;
}

const OffsetCase kOffsets[] = {
    {.what = "a winter night", .local = {2026, 12, 7, 2, 0, 0}, .minutes = 330},
    {.what = "midsummer", .local = {2026, 7, 1, 12, 0, 0}, .minutes = 330},
    {.what = "a leap day", .local = {2028, 2, 29, 23, 59, 59}, .minutes = 330},
    {.what = "the first year a SYSTEMTIME holds", .local = {1601, 1, 2, 0, 0, 0}, .minutes = 330},
    {.what = "a year before it", .local = {1600, 12, 31, 23, 0, 0}, .minutes = std::nullopt},
    {.what = "a day its month lacks",
     .local = {2026, 2, 29, 2, 0, 0},
     .minutes = std::nullopt,
     .wineDiffers = "Wine 8's SystemTimeToFileTime takes 29 February of a common year "
                    "(Windows: FALSE)"},
    {.what = "day 32", .local = {2026, 1, 32, 2, 0, 0}, .minutes = std::nullopt},
    {.what = "month 13", .local = {2026, 13, 1, 2, 0, 0}, .minutes = std::nullopt},
    {.what = "hour 24", .local = {2026, 12, 7, 24, 0, 0}, .minutes = std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(, UtcOffset, testing::ValuesIn(kOffsets), test::RowName);

}  // namespace
}  // namespace lss::contract
