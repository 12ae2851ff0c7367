#include "collector/CimDateTime.h"

#include <gtest/gtest.h>

#include <vector>

#include "collector/CivilDate.h"

namespace collector {
namespace {

TEST(CimDateTime, WritesLocalTimeWithItsOffsetInMinutes) {
  EXPECT_EQ(cimDateTime(1796841221, 0), "20261209183341.000000+000");
  EXPECT_EQ(cimDateTime(1796841221, 60), "20261209193341.000000+060");
  EXPECT_EQ(cimDateTime(1796841221, -300), "20261209133341.000000-300");
  EXPECT_EQ(cimDateTime(1796841221, 330), "20261210000341.000000+330") << "across midnight";
}

TEST(CimDateTime, CrossesYearsAndTheEpochBackwards) {
  EXPECT_EQ(cimDateTime(0, -60), "19691231230000.000000-060");
  EXPECT_EQ(cimDateTime(951782399, 0), "20000228235959.000000+000");
  EXPECT_EQ(cimDateTime(951782400, 0), "20000229000000.000000+000");
}

TEST(CivilDate, RoundTripsEveryDayOfFourCenturies) {
  // 1900 to 2300: leap years by 4, not by 100, again by 400.
  for (std::int64_t days = -25567; days < 120000; ++days) {
    const CivilDate date = civilFromDays(days);
    ASSERT_TRUE(isValidDate(date)) << days;
    ASSERT_EQ(daysFromCivil(date), days);
  }
  EXPECT_FALSE(isValidDate({1900, 2, 29}));
  EXPECT_TRUE(isValidDate({2000, 2, 29}));
}

TEST(CivilTime, SplitsAMomentIntoDateAndTimeOfDay) {
  const CivilTime time = civilFromSeconds(1796841221);
  EXPECT_EQ((std::vector<std::int64_t>{time.date.year, time.date.month, time.date.day, time.hour, time.minute,
                                       time.second}),
            (std::vector<std::int64_t>{2026, 12, 9, 18, 33, 41}));
  const CivilTime before = civilFromSeconds(-1);
  EXPECT_EQ((std::vector<std::int64_t>{before.date.year, before.date.month, before.date.day, before.hour,
                                       before.minute, before.second}),
            (std::vector<std::int64_t>{1969, 12, 31, 23, 59, 59}))
      << "the second before the epoch belongs to the day before";
}

}  // namespace
}  // namespace collector
