#include "collector/TrimSpaces.h"

#include <gtest/gtest.h>

namespace collector {
namespace {

TEST(TrimSpaces, DropsTheSpacesAroundTheTextOnly) {
  EXPECT_EQ(trimSpaces("  Samsung SSD 870  "), "Samsung SSD 870");
  EXPECT_EQ(trimSpaces("ST1000DM010"), "ST1000DM010");
  EXPECT_EQ(trimSpaces(" \tTab\n "), "\tTab\n") << "only spaces are padding";
}

TEST(TrimSpaces, SpacesAloneLeaveNothing) {
  EXPECT_EQ(trimSpaces("    "), "");
  EXPECT_EQ(trimSpaces(""), "");
}

}  // namespace
}  // namespace collector
