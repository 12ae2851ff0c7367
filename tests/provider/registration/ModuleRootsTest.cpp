// The module root and the directories derived from it.

#include <gtest/gtest.h>

#include "provider/registration/ModuleRoots.h"
#include "tests/support/TempTree.h"

namespace qrv::test {
namespace {

using cim::moduleRootOf;

TEST(ModuleRootsTest, RootIsTwoLevelsAboveTheModuleFile) {
  EXPECT_EQ(moduleRootOf("C:\\Program Files\\Vendor\\bin\\wexi.dll"), "C:\\Program Files\\Vendor");
  EXPECT_EQ(moduleRootOf("/opt/vendor/bin/wexi.so"), "/opt/vendor");
  EXPECT_EQ(moduleRootOf("/opt/vendor\\bin\\wexi.so"), "/opt/vendor");
  EXPECT_EQ(moduleRootOf("vendor/bin/wexi.so"), "vendor");
}

TEST(ModuleRootsTest, FewerThanTwoSeparatorsGiveEmptyRoot) {
  EXPECT_EQ(moduleRootOf(""), "");
  EXPECT_EQ(moduleRootOf("wexi.so"), "");
  EXPECT_EQ(moduleRootOf("bin/wexi.so"), "");
  EXPECT_EQ(moduleRootOf("C:\\wexi.dll"), "");
  // The second-to-last separator is the first character.
  EXPECT_EQ(moduleRootOf("/bin/wexi.so"), "");
}

TEST(ModuleRootsTest, RootsFollowTheRunningModule) {
  const std::string root = relocatedRoot();
  ASSERT_FALSE(root.empty());
  EXPECT_EQ(cim::moduleRoot(), root);
  EXPECT_EQ(cim::xmlRegRoot(), root + "/xmlreg");
  EXPECT_EQ(cim::xslRoot(), root + "/xslroot");
}

}  // namespace
}  // namespace qrv::test
