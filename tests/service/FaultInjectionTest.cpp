// Every platform call of a successful collection run, made to fail: once,
// and from that call on. Whatever fails, the previous data file survives
// unaltered, the run's temporary files do not accumulate, the failure is
// reported once and the service reports that it stopped.

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "service/EventLog.h"
#include "service/ServiceStatus.h"
#include "service/UniqueFiles.h"
#include "tests/service/RunFixture.h"

namespace rulo::test {
namespace {

const char* OpName(Op op) {
  static const char* const names[] = {
      "readRegistryValue", "createRegistryKey", "setRegistryValue", "pathExists", "isDirectory",
      "createDirectory", "createUniqueFile", "copyFile", "moveFile", "deleteFile", "setNormalAttributes",
      "fileSize", "readFile", "listFiles", "createProcess", "processExitCode", "registerEventSource",
      "appendTraceLine", "moduleFileName", "openServiceManager", "openService", "createService",
      "deleteService", "startService", "queryServiceStatus", "startServiceCtrlDispatcher",
      "registerServiceCtrlHandler", "setServiceStatus"};
  return names[static_cast<int>(op)];
}

const std::string kPrevious = "<previous/>";
const std::string kNew = "<new/>";
const std::string kNext = "<next/>";

// One injected fault: the nth call of op fails, once or from then on.
struct Fault {
  Op op;
  int nth;
  bool persistent;

  std::string name() const {
    return std::string(OpName(op)) + " #" + std::to_string(nth) + (persistent ? " from then on" : " once");
  }
};

// What a fault gives where it is not exactly one error event and a stopped
// report at the end.
struct Expected {
  int errorEvents = 1;
  bool stoppedReported = true;
};

enum class Mode { Once, FromThenOn, Either };

struct Exception {
  Op op;
  int nth;  // 0: every call
  Mode mode;
  Expected expected;
};

const std::vector<Exception> kExceptions = {
    // Tolerated: the debug trace, the event source (that one event is lost,
    // nothing else), clearing attributes, listing the folders for older
    // copies after publishing, the optional settings (timeout, start delay:
    // an unreadable one takes its default).
    {Op::appendTraceLine, 0, Mode::Either, {0, true}},
    {Op::registerEventSource, 0, Mode::Either, {0, true}},
    {Op::setNormalAttributes, 0, Mode::Either, {0, true}},
    {Op::listFiles, 0, Mode::Either, {0, true}},
    {Op::readRegistryValue, 3, Mode::Either, {0, true}},
    {Op::readRegistryValue, 4, Mode::Either, {0, true}},
    // Retried, so one failure is absorbed: the data directory's check (the
    // directory is found to exist on creating it) and moving the previous
    // data file aside.
    {Op::isDirectory, 1, Mode::Once, {0, true}},
    {Op::moveFile, 1, Mode::Once, {0, true}},
    // An unreadable exit code is reported by itself, then fails the run as
    // the collector's result.
    {Op::processExitCode, 0, Mode::Either, {2, true}},
    // A refused status report is reported, then what was being reported; a
    // refused start or running report ends the run before it collects.
    {Op::setServiceStatus, 1, Mode::Either, {2, false}},
    {Op::setServiceStatus, 2, Mode::Either, {2, false}},
    {Op::setServiceStatus, 3, Mode::Either, {2, true}},
};

Expected ExpectedFor(const Fault& fault) {
  for (const Exception& e : kExceptions) {
    const bool modeMatches = e.mode == Mode::Either || (e.mode == Mode::FromThenOn) == fault.persistent;
    if (e.op == fault.op && (e.nth == 0 || e.nth == fault.nth) && modeMatches) return e.expected;
  }
  return Expected();
}

class FaultInjectionTest : public RunTest {
 protected:
  static void Prepare(FakePlatform& platform) {
    platform.addFile(kDataFile, kPrevious);
    platform.scriptCollector({0, kNew, std::nullopt});
  }

  static int ErrorEvents(const FakePlatform& platform) {
    const auto events = platform.events();
    return static_cast<int>(std::count_if(events.begin(), events.end(),
                                          [](const RecordedEvent& e) { return e.type == EventError; }));
  }

  static std::size_t UniqueFilesIn(const FakePlatform& platform, const std::string& directory) {
    const auto files = platform.filesIn(directory);
    return static_cast<std::size_t>(std::count_if(files.begin(), files.end(), IsUniqueFileName));
  }

  // Whether a copy beside the data file holds content.
  static bool KeptAside(const FakePlatform& platform, const std::string& content) {
    const auto files = platform.filesIn(kDataDir);
    return std::any_of(files.begin(), files.end(),
                       [&](const std::string& path) { return path != kDataFile && platform.file(path) == content; });
  }

  static int FailedChecks() {
    const ::testing::TestResult& result = *::testing::UnitTest::GetInstance()->current_test_info()->result();
    int failed = 0;
    for (int i = 0; i < result.total_part_count(); ++i) failed += result.GetTestPartResult(i).failed() ? 1 : 0;
    return failed;
  }

  // What the fault may do and must not: checked after the faulty run and
  // after a clean run that follows it.
  void checkRun(FakePlatform& platform, const Fault& fault, const Expected& expected) {
    SCOPED_TRACE(fault.name());
    const auto data = platform.file(kDataFile);
    const bool published = data == kNew;
    EXPECT_TRUE(published || data == kPrevious) << "data file lost or altered: " << data.value_or("(none)");
    EXPECT_TRUE(!published || KeptAside(platform, kPrevious)) << "the previous data is kept aside";
    EXPECT_EQ(ErrorEvents(platform), expected.errorEvents);
    const auto reports = platform.statusReports();
    if (expected.stoppedReported) {
      ASSERT_FALSE(reports.empty());
      EXPECT_EQ(reports.back().currentState, StateStopped);
    }
    // A run leaves at most a staging file and a set-aside copy beside the
    // data file, and its own output beside the collector.
    EXPECT_LE(UniqueFilesIn(platform, kDataDir), 2u);
    EXPECT_LE(UniqueFilesIn(platform, kInvDir), 1u);
    EXPECT_EQ(platform.openHandles(), 0);

    // A clean run afterwards publishes and leaves what any successful run leaves.
    const std::string before = platform.file(kDataFile).value_or("");
    platform.clearFailures();
    platform.scriptCollector({0, kNext, std::nullopt});
    RunInventoryCollection();
    const std::string after = platform.file(kDataFile).value_or("");
    EXPECT_TRUE((after == kNew || after == kNext) && after != before) << "not published: " << after;
    EXPECT_EQ(UniqueFilesIn(platform, kDataDir), 1u) << "only the newest set-aside copy";
    EXPECT_EQ(UniqueFilesIn(platform, kInvDir), 1u) << "only the newest collector output";
    EXPECT_TRUE(KeptAside(platform, before));
  }
};

TEST_F(FaultInjectionTest, EveryOperationOfARunFailingOnceOrForGood) {
  Prepare(fake);
  RunInventoryCollection();
  ASSERT_EQ(fake.file(kDataFile), kNew);
  ASSERT_EQ(ErrorEvents(fake), 0);
  const std::vector<Op> operations = fake.operations();
  ASSERT_FALSE(operations.empty());

  std::map<Op, int> seen;
  int runs = 0, survived = 0;
  for (const Op op : operations) {
    const int nth = ++seen[op];
    for (const bool persistent : {false, true}) {
      const Fault fault{op, nth, persistent};
      auto local = freshRun();
      Prepare(*local);
      FailRule& rule = local->fail(op);
      rule.fromCall = nth;
      if (!persistent) rule.calls = 1;
      RunInventoryCollection();
      ++runs;
      const int failedBefore = FailedChecks();
      checkRun(*local, fault, ExpectedFor(fault));
      if (FailedChecks() == failedBefore) ++survived;
    }
  }
  const std::string summary = std::to_string(operations.size()) + " operations, " + std::to_string(runs) +
                              " runs, " + std::to_string(survived) + " faults survived";
  RecordProperty("operations", static_cast<int>(operations.size()));
  RecordProperty("runs", runs);
  RecordProperty("survived", survived);
  std::printf("fault injection: %s\n", summary.c_str());
  EXPECT_EQ(survived, runs);
}

}  // namespace
}  // namespace rulo::test
