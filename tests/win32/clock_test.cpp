#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <tuple>

#include "platform/win32/win32_clock.h"

namespace {

TEST(SystemClock, CountsSecondsSince1970Utc) {
  lss::Win32Clock clock;
  const std::int64_t before = std::time(nullptr);
  const std::int64_t now = clock.Now();
  EXPECT_GE(now, before);
  EXPECT_LE(now, std::time(nullptr));
}

}  // namespace
