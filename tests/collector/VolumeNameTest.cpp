#include "collector/VolumeName.h"

#include <gtest/gtest.h>

namespace collector {
namespace {

TEST(VolumeGuid, IsTheTextBetweenTheBraces) {
  EXPECT_EQ(volumeGuid("\\\\?\\Volume{1b6e3f2a-0c4d-11ef-9a2b-806e6f6e6963}\\"),
            "1b6e3f2a-0c4d-11ef-9a2b-806e6f6e6963");
}

TEST(VolumeGuid, ANameOfAnotherFormHasNone) {
  EXPECT_EQ(volumeGuid("\\\\?\\Volume{1b6e3f2a-0c4d-11ef-9a2b-806e6f6e6963}"), std::nullopt) << "no backslash";
  EXPECT_EQ(volumeGuid("\\\\?\\Volume{}\\"), std::nullopt) << "nothing between the braces";
  EXPECT_EQ(volumeGuid("\\\\.\\PhysicalDrive0\\"), std::nullopt);
  EXPECT_EQ(volumeGuid(""), std::nullopt);
}

}  // namespace
}  // namespace collector
