#include "collector/CimDateTime.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace collector
