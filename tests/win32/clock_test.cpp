#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <tuple>

#include "platform/win32/win32_clock.h"

namespace {

// The tests run with TZ=IST-5:30: local time is UTC plus 330 minutes, all
// year round.
struct LocalCase {
  std::int64_t seconds;
  bool converts;
  lss::LocalTime local;
};

class LocalCalendar : public testing::TestWithParam<LocalCase> {};

TEST_P(LocalCalendar, IsUtcPlusFiveAndAHalfHours) {
  const LocalCase& c = GetParam();
  lss::Win32Clock clock;
  lss::LocalTime local;
  ASSERT_EQ(clock.ToLocal(c.seconds, &local), c.converts) << c.seconds;
  if (!c.converts) return;
  EXPECT_EQ(std::tie(local.year, local.month, local.day, local.hour, local.minute, local.second),
            std::tie(c.local.year, c.local.month, c.local.day, c.local.hour, c.local.minute,
                     c.local.second))
      << c.seconds;
}

INSTANTIATE_TEST_SUITE_P(
    Table, LocalCalendar,
    testing::Values(LocalCase{0, true, {1970, 1, 1, 5, 30, 0}},
                    LocalCase{1796581800, true, {2026, 12, 7, 0, 0, 0}},     // 18:30 UTC the day before
                    LocalCase{1782863999, true, {2026, 7, 1, 5, 29, 59}},    // midsummer: no daylight time
                    LocalCase{951762600, true, {2000, 2, 29, 0, 0, 0}},      // a leap day
                    LocalCase{-11644473600, true, {1601, 1, 1, 5, 30, 0}},   // the first FILETIME
                    LocalCase{-11644473601, false, {}}),
    [](const auto& row) { return std::to_string(row.index); });

TEST(SystemClock, CountsSecondsSince1970Utc) {
  lss::Win32Clock clock;
  const std::int64_t before = std::time(nullptr);
  const std::int64_t now = clock.Now();
  EXPECT_GE(now, before);
  EXPECT_LE(now, std::time(nullptr));
}

}  // namespace
