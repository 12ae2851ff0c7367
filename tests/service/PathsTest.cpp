#include <gtest/gtest.h>

#include "service/Paths.h"
#include "tests/service/FakePlatform.h"

namespace rulo::test {
namespace {

TEST(PathTextTest, SplitPathTakesTheLaterSeparatorThenTheDrive) {
  EXPECT_EQ(SplitPath("C:\\data\\inv.xml"), "C:\\data");
  EXPECT_EQ(SplitPath("C:\\data/sub\\inv.xml"), "C:\\data/sub");
  EXPECT_EQ(SplitPath("C:\\data\\sub/inv.xml"), "C:\\data\\sub");
  EXPECT_EQ(SplitPath("/var/lib/inv.xml"), "/var/lib");
  EXPECT_EQ(SplitPath("C:data.xml"), "C");
  EXPECT_EQ(SplitPath("data.xml"), "data.xml");
}

TEST(PathTextTest, CollectorDirectoryAndSiblingKeepTheSeparator) {
  EXPECT_EQ(ContainingDirectory("C:\\inv\\coll.exe"), "C:\\inv");
  EXPECT_EQ(ContainingDirectory("coll.exe"), "");
  EXPECT_EQ(SiblingPath("C:\\inv\\coll.exe", "lastrun.log"), "C:\\inv\\lastrun.log");
  EXPECT_EQ(SiblingPath("/opt/inv/coll", "lastrun.log"), "/opt/inv/lastrun.log");
  EXPECT_EQ(SiblingPath("coll.exe", "lastrun.log"), "lastrun.log");
}

TEST(PathTextTest, StripQuotesRemovesOneQuoteAtEachEnd) {
  EXPECT_EQ(StripQuotes("\"C:\\a\""), "C:\\a");
  EXPECT_EQ(StripQuotes("\"\"C:\\a\"\""), "\"C:\\a\"");
  EXPECT_EQ(StripQuotes("C:\\a\""), "C:\\a");
  EXPECT_EQ(StripQuotes("\"C:\\a"), "C:\\a");
  EXPECT_EQ(StripQuotes("\""), "");
  EXPECT_EQ(StripQuotes(""), "");
}

class EnsureDirectoryTest : public ::testing::Test {
 protected:
  FakePlatform fake;
  PlatformScope installed{fake};
};

TEST_F(EnsureDirectoryTest, CreatesMissingLevelsWithEitherSeparator) {
  EXPECT_TRUE(EnsureDirectory("\"C:\\a\\b/c\""));
  EXPECT_TRUE(fake.directoryExists("C:\\a"));
  EXPECT_TRUE(fake.directoryExists("C:\\a\\b"));
  EXPECT_TRUE(fake.directoryExists("C:\\a\\b/c"));
  EXPECT_TRUE(EnsureDirectory("/srv/data"));
  EXPECT_TRUE(fake.directoryExists("/srv"));
}

TEST_F(EnsureDirectoryTest, LeavesExistingDirectoriesAlone) {
  fake.addDirectory("C:\\a\\b");
  EXPECT_TRUE(EnsureDirectory("C:\\a\\b\\c"));
  EXPECT_TRUE(EnsureDirectory("C:\\a\\b"));
  EXPECT_TRUE(fake.attributesCleared().empty());
}

TEST_F(EnsureDirectoryTest, FailsForOverlongPathsAndRefusedCreation) {
  const std::string longest = "C:\\" + std::string(256, 'x');  // 259 characters
  EXPECT_TRUE(EnsureDirectory(longest));
  EXPECT_FALSE(EnsureDirectory(longest + "y"));
  EXPECT_FALSE(fake.directoryExists(longest + "y"));

  fake.fail(Op::createDirectory).where("C:\\ro");
  EXPECT_FALSE(EnsureDirectory("C:\\ro\\sub"));
  fake.addFile("C:\\file");
  EXPECT_FALSE(EnsureDirectory("C:\\file"));
}

}  // namespace
}  // namespace rulo::test
