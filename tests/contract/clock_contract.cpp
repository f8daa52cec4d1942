// What the clock's local time is, in the tests' time zone: TZ=IST-5:30 under
// Wine, the same fixed offset on the fake clock. Local time is UTC plus 330
// minutes, all year round.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <tuple>

#include "contract/contract_machine.h"

namespace lss::contract {
namespace {

struct LocalCase {
  std::int64_t seconds;
  bool converts;
  LocalTime local;
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

INSTANTIATE_TEST_SUITE_P(
    Table, LocalCalendar,
    testing::Values(
        LocalCase{0, true, {1970, 1, 1, 5, 30, 0}}, LocalCase{-1, true, {1970, 1, 1, 5, 29, 59}},
        LocalCase{1796581800, true, {2026, 12, 7, 0, 0, 0}},  // 18:30 UTC the day before
        LocalCase{1796581799, true, {2026, 12, 6, 23, 59, 59}},
        LocalCase{1782863999, true, {2026, 7, 1, 5, 29, 59}},   // midsummer: no daylight time
        LocalCase{951762600, true, {2000, 2, 29, 0, 0, 0}},     // a leap day
        LocalCase{-11644473600, true, {1601, 1, 1, 5, 30, 0}},  // the first FILETIME
        LocalCase{-11644473601, false, {}},
        LocalCase{std::numeric_limits<std::int64_t>::max(), false, {}}),
    [](const auto& row) { return std::to_string(row.index); });

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

INSTANTIATE_TEST_SUITE_P(
    Table, UtcOffset,
    testing::Values(OffsetCase{"a winter night", {2026, 12, 7, 2, 0, 0}, 330},
                    OffsetCase{"midsummer", {2026, 7, 1, 12, 0, 0}, 330},
                    OffsetCase{"a leap day", {2028, 2, 29, 23, 59, 59}, 330},
                    OffsetCase{"the first year a SYSTEMTIME holds", {1601, 1, 2, 0, 0, 0}, 330},
                    OffsetCase{"a year before it", {1600, 12, 31, 23, 0, 0}, std::nullopt},
                    OffsetCase{"a day its month lacks", {2026, 2, 29, 2, 0, 0}, std::nullopt,
                               "Wine 8's SystemTimeToFileTime takes 29 February of a common year "
                               "(Windows: FALSE)"},
                    OffsetCase{"day 32", {2026, 1, 32, 2, 0, 0}, std::nullopt},
                    OffsetCase{"month 13", {2026, 13, 1, 2, 0, 0}, std::nullopt},
                    OffsetCase{"hour 24", {2026, 12, 7, 24, 0, 0}, std::nullopt}));

}  // namespace
}  // namespace lss::contract
