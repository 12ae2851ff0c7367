// Every platform call of a successful collection run, made to fail on the
// fake platform: once, and from that call on (see FaultInjection.h for what
// each run must keep).

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "service/EventLog.h"
#include "service/UniqueFiles.h"
#include "tests/service/FaultInjection.h"
#include "tests/service/RunFixture.h"

namespace rulo::test {
namespace {

int ErrorEvents(const FakePlatform& platform) {
  const auto events = platform.events();
  return static_cast<int>(
      std::count_if(events.begin(), events.end(), [](const RecordedEvent& e) { return e.type == EventError; }));
}

std::size_t UniqueFilesIn(const FakePlatform& platform, const std::string& directory) {
  const auto files = platform.filesIn(directory);
  return static_cast<std::size_t>(std::count_if(files.begin(), files.end(), IsUniqueFileName));
}

class FaultInjectionTest : public RunTest, public FaultRig {
 protected:
  static void Prepare(FakePlatform& platform) {
    platform.addFile(kDataFile, kPrevious);
    platform.scriptCollector({0, kNew, std::nullopt});
  }

  RunLeft runWith(const Fault& fault) override {
    local_.reset();  // scopes end in reverse order: the next one installs over the fixture's
    local_ = freshRun();
    Prepare(*local_);
    FailRule& rule = local_->fail(fault.op);
    rule.fromCall = fault.nth;
    if (!fault.persistent) rule.calls = 1;
    RunInventoryCollection();
    const RunLeft left = leftBy(*local_);
    faultyErrorEvents_ = left.errorEvents;
    return left;
  }

  RunLeft runClean() override {
    local_->clearFailures();
    local_->scriptCollector({0, kNext, std::nullopt});
    RunInventoryCollection();
    RunLeft left = leftBy(*local_);
    left.errorEvents -= faultyErrorEvents_;
    return left;
  }

  static RunLeft leftBy(const FakePlatform& platform) {
    RunLeft left;
    left.dataFile = platform.file(kDataFile);
    for (const std::string& path : platform.filesIn(kDataDir))
      if (path != kDataFile) left.besideDataFile.push_back(platform.file(path).value_or(""));
    left.uniqueFilesInDataDir = UniqueFilesIn(platform, kDataDir);
    left.uniqueFilesInCollectorDir = UniqueFilesIn(platform, kInvDir);
    left.errorEvents = ErrorEvents(platform);
    const auto reports = platform.statusReports();
    if (!reports.empty()) left.lastState = reports.back().currentState;
    left.openHandles = platform.openHandles();
    return left;
  }

  std::unique_ptr<InstalledFake> local_;
  int faultyErrorEvents_ = 0;
};

TEST_F(FaultInjectionTest, EveryOperationOfARunFailingOnceOrForGood) {
  Prepare(fake);
  RunInventoryCollection();
  ASSERT_EQ(fake.file(kDataFile), kNew);
  ASSERT_EQ(ErrorEvents(fake), 0);
  const std::vector<Op> operations = fake.operations();
  ASSERT_FALSE(operations.empty());

  const FaultCounts counts = InjectEveryFault(*this, operations);
  ReportFaultCounts("fault injection", counts);
  EXPECT_EQ(counts.survived, counts.runs);
}

}  // namespace
}  // namespace rulo::test
