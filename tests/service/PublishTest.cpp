#include "service/EventLog.h"
#include "tests/service/RunFixture.h"

namespace rulo::test {
namespace {

const std::string kCopyFailure = "Fail to copy Korvex inventory data to C:\\data";
const std::string kStaging = "C:\\data\\rul2.TMP";
const std::string kSetAside = "C:\\data\\rul3.TMP";

class PublishTest : public RunTest {
 protected:
  PublishTest() {
    fake.addFile(kDataFile, "old");
    fake.scriptCollector({0, "<new/>", std::nullopt});
  }

  // A failed publish: one error event with text, the previous data file in
  // place, the collector output gone, stopped reported.
  static void ExpectFailedPublish(const FakePlatform& platform, const std::string& text) {
    EXPECT_EQ(platform.eventTexts(), std::vector<std::string>{text});
    EXPECT_EQ(platform.file(kDataFile), "old");
    EXPECT_FALSE(platform.file(kOutput));
    EXPECT_EQ(platform.statusReports().back().currentState, 1u);
  }
};

TEST_F(PublishTest, DataFileInUseIsTriedFourTimesFiveSecondsApart) {
  fake.fail(Op::replaceFile).where(kDataFile).times(4).withError(32);
  RunInventoryCollection();
  EXPECT_EQ(fake.sleeps(), (std::vector<DWORD>{5000, 5000, 5000}));
  ExpectFailedPublish(fake, kCopyFailure);
  EXPECT_EQ(fake.events()[0].errorText, "rulosrv error (32): ") << "the replace's error is reported";
  EXPECT_EQ(fake.file(kStaging), "<new/>") << "the staging file stays";
  EXPECT_FALSE(fake.file(kSetAside));
}

TEST_F(PublishTest, DataFileReleasedDuringTheRetriesIsReplaced) {
  fake.fail(Op::replaceFile).where(kDataFile).times(2);
  RunInventoryCollection();
  EXPECT_EQ(fake.sleeps(), (std::vector<DWORD>{5000, 5000}));
  EXPECT_EQ(fake.file(kDataFile), "<new/>");
  EXPECT_EQ(fake.file(kSetAside), "old");
  EXPECT_FALSE(fake.file(kStaging));
  EXPECT_EQ(fake.eventTexts(), std::vector<std::string>{kPublished});
}

TEST_F(PublishTest, FailedRenameWithoutPreviousFileLeavesNoDataFile) {
  auto local = freshRun();
  local->fail(Op::moveFile);
  RunInventoryCollection();
  EXPECT_EQ(local->eventTexts(), std::vector<std::string>{kCopyFailure});
  EXPECT_FALSE(local->file(kDataFile));
}

TEST_F(PublishTest, EveryFailingOperationOnTheDataDirectoryKeepsThePreviousFile) {
  const std::string dirFailure = "Fail to create directory at C:\\data to save Korvex inventory data";
  const std::string stagingFailure = "Fail to copy inventory date from " + kOutput + " to " + kStaging;
  for (const auto& [op, text] : std::vector<std::pair<Op, std::string>>{{Op::isDirectory, dirFailure},
                                                                        {Op::createUniqueFile, kCopyFailure},
                                                                        {Op::copyFile, stagingFailure},
                                                                        {Op::deleteFile, kCopyFailure},
                                                                        {Op::pathExists, kCopyFailure},
                                                                        {Op::replaceFile, kCopyFailure}}) {
    SCOPED_TRACE(static_cast<int>(op));
    auto local = freshRun();
    local->addFile(kDataFile, "old");
    local->fail(op).where(kDataDir);
    RunInventoryCollection();
    ExpectFailedPublish(*local, text);
  }
}

TEST_F(PublishTest, AFailedCopyRemovesTheStagingFileAndTheSetAsideName) {
  fake.fail(Op::copyFile).withError(112);
  RunInventoryCollection();
  ExpectFailedPublish(fake, "Fail to copy inventory date from " + kOutput + " to " + kStaging);
  EXPECT_EQ(fake.events()[0].errorText, "rulosrv error (112): ") << "the copy's error is reported";
  EXPECT_FALSE(fake.file(kStaging));
  EXPECT_FALSE(fake.file(kSetAside));
}

TEST_F(PublishTest, AttributesThatCannotBeClearedDoNotStopThePublish) {
  fake.fail(Op::setNormalAttributes);
  RunInventoryCollection();
  EXPECT_EQ(fake.file(kDataFile), "<new/>");
  EXPECT_EQ(fake.attributesCleared(), (std::vector<std::string>{kSetAside, kOutput}));
}

TEST_F(PublishTest, MissingDataDirectoryIsCreated) {
  auto local = freshRun();
  local->setRegistryText(kConfigKeyPath, "invoutputfile", "C:\\new\\sub\\inv.xml");
  RunInventoryCollection();
  EXPECT_TRUE(local->file("C:\\new\\sub\\inv.xml"));

  local.reset();  // scopes end in reverse order: the next one installs over the fixture's
  local = freshRun();
  local->setRegistryText(kConfigKeyPath, "invoutputfile", "C:\\new\\sub\\inv.xml");
  local->fail(Op::createDirectory);
  RunInventoryCollection();
  EXPECT_EQ(local->eventTexts(),
            std::vector<std::string>{"Fail to create directory at C:\\new\\sub to save Korvex inventory data"});
}

TEST_F(PublishTest, FailureOtherThanARunFailureReportsTheLastError) {
  fake.fail(Op::copyFile).throwing();
  RunInventoryCollection();
  ExpectFailedPublish(fake, "Error (5): Access is denied.");
}

}  // namespace
}  // namespace rulo::test
