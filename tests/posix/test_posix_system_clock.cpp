// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "posix/system_clock.h"

namespace voxrig {
namespace {

LocalDateTime LocalTimeAt(std::time_t moment) {
  std::tm local{};
  localtime_r(&moment, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
          local.tm_hour,        local.tm_min,     local.tm_sec};
}

bool Same(const LocalDateTime& a, const LocalDateTime& b) {
  return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
         a.minute == b.minute && a.second == b.second;
}

// The debug log's header shows the date as dd-MM-yyyy: the year must be the
// full year and the month must count from 1, as people read them.
TEST(SystemClockTest, NowIsTheLocalDateAndTimeWithFullYearAndMonthFromOne) {
  // A zone 5 h 45 min east of UTC, so local time cannot be mistaken for UTC.
  const char* oldZone = std::getenv("TZ");
  const bool hadZone = oldZone != nullptr;
  const std::string savedZone = hadZone ? oldZone : "";
  setenv("TZ", "VOX-05:45", 1);
  tzset();
  SystemClock clock;
  const std::time_t before = std::time(nullptr);
  const LocalDateTime now = clock.Now();
  const std::time_t after = std::time(nullptr);
  const bool matchesLocalTime = Same(now, LocalTimeAt(before)) || Same(now, LocalTimeAt(after));
  std::tm utc{};
  gmtime_r(&before, &utc);
  if (hadZone) {
    setenv("TZ", savedZone.c_str(), 1);
  } else {
    unsetenv("TZ");
  }
  tzset();

  EXPECT_TRUE(matchesLocalTime);
  EXPECT_NE(now.minute, utc.tm_min) << "local time, not UTC";
  EXPECT_GE(now.year, 2024);
  EXPECT_GE(now.month, 1);
  EXPECT_LE(now.month, 12);
  EXPECT_GE(now.day, 1);
  EXPECT_LE(now.day, 31);
}

}  // namespace
}  // namespace voxrig
