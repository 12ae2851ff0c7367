#include "tests/service/FaultInjection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>

#include "service/ServiceStatus.h"

namespace rulo::test {

namespace {

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
    // directory is found to exist on creating it) and putting the new data
    // file in place of the previous one.
    {Op::isDirectory, 1, Mode::Once, {0, true}},
    {Op::replaceFile, 1, Mode::Once, {0, true}},
    // An unreadable exit code is reported by itself, then fails the run as
    // the collector's result.
    {Op::processExitCode, 0, Mode::Either, {2, true}},
    // A refused status report is reported, then what was being reported; a
    // refused start or running report ends the run before it collects.
    {Op::setServiceStatus, 1, Mode::Either, {2, false}},
    {Op::setServiceStatus, 2, Mode::Either, {2, false}},
    {Op::setServiceStatus, 3, Mode::Either, {2, true}},
};

bool Holds(const std::vector<std::string>& contents, const std::string& content) {
  return std::find(contents.begin(), contents.end(), content) != contents.end();
}

int FailedChecks() {
  const ::testing::TestResult& result = *::testing::UnitTest::GetInstance()->current_test_info()->result();
  int failed = 0;
  for (int i = 0; i < result.total_part_count(); ++i) failed += result.GetTestPartResult(i).failed() ? 1 : 0;
  return failed;
}

}  // namespace

std::string Fault::name() const {
  return std::string(OpName(op)) + " #" + std::to_string(nth) + (persistent ? " from then on" : " once");
}

Expected ExpectedFor(const Fault& fault) {
  for (const Exception& e : kExceptions) {
    const bool modeMatches = e.mode == Mode::Either || (e.mode == Mode::FromThenOn) == fault.persistent;
    if (e.op == fault.op && (e.nth == 0 || e.nth == fault.nth) && modeMatches) return e.expected;
  }
  return Expected();
}

void CheckFaultyRun(const RunLeft& left, const Expected& expected) {
  const bool published = left.dataFile == kNew;
  EXPECT_TRUE(published || left.dataFile == kPrevious)
      << "data file lost or altered: " << left.dataFile.value_or("(none)");
  EXPECT_TRUE(!published || Holds(left.besideDataFile, kPrevious)) << "the previous data is kept aside";
  EXPECT_EQ(left.errorEvents, expected.errorEvents);
  if (expected.stoppedReported) {
    EXPECT_EQ(left.lastState, std::optional<DWORD>(StateStopped));
  }
  // A run leaves at most a staging file and a set-aside copy beside the
  // data file, and its own output beside the collector.
  EXPECT_LE(left.uniqueFilesInDataDir, 2u);
  EXPECT_LE(left.uniqueFilesInCollectorDir, 1u);
  EXPECT_EQ(left.openHandles, 0);
}

void CheckCleanRunAfter(const RunLeft& faulty, const RunLeft& clean) {
  const std::string before = faulty.dataFile.value_or("");
  const std::string after = clean.dataFile.value_or("");
  // A fake collector that was never started still holds kNew for the next run.
  EXPECT_TRUE((after == kNew || after == kNext) && after != before) << "not published: " << after;
  EXPECT_EQ(clean.uniqueFilesInDataDir, 1u) << "only the newest set-aside copy";
  EXPECT_EQ(clean.uniqueFilesInCollectorDir, 1u) << "only the newest collector output";
  EXPECT_TRUE(Holds(clean.besideDataFile, before)) << "the data before the clean run is kept aside";
  EXPECT_EQ(clean.errorEvents, 0);
}

FaultCounts InjectEveryFault(FaultRig& rig, const std::vector<Op>& operations) {
  FaultCounts counts;
  counts.operations = operations.size();
  std::map<Op, int> seen;
  for (const Op op : operations) {
    const int nth = ++seen[op];
    for (const bool persistent : {false, true}) {
      const Fault fault{op, nth, persistent};
      SCOPED_TRACE(fault.name());
      const int failedBefore = FailedChecks();
      const RunLeft faulty = rig.runWith(fault);
      ++counts.runs;
      CheckFaultyRun(faulty, ExpectedFor(fault));
      CheckCleanRunAfter(faulty, rig.runClean());
      if (FailedChecks() == failedBefore) ++counts.survived;
    }
  }
  return counts;
}

void ReportFaultCounts(const std::string& label, const FaultCounts& counts) {
  const std::string summary = label + ": " + std::to_string(counts.operations) + " operations, " +
                              std::to_string(counts.runs) + " runs, " + std::to_string(counts.survived) +
                              " faults survived";
  std::printf("%s\n", summary.c_str());
  ::testing::Test::RecordProperty("operations", static_cast<int>(counts.operations));
  ::testing::Test::RecordProperty("runs", counts.runs);
  ::testing::Test::RecordProperty("survived", counts.survived);
}

}  // namespace rulo::test
