// Whole collection runs on the Linux platform: real files in a temporary
// tree, a registry file, a collector script run as a process, status reports
// through a notification socket. A decorating platform makes one call fail
// at a time (see FaultInjection.h for what each run must keep); a small
// file system fills up for real while the output is copied into place; the
// data directory vanishes between two calls of a run.

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "service/CollectionRun.h"
#include "service/EventLog.h"
#include "service/ServiceIdentity.h"
#include "service/ServiceStatus.h"
#include "service/platform/posix/PosixPlatform.h"
#include "tests/service/FaultInjection.h"
#include "tests/service/platform/posix/FaultyPlatform.h"
#include "tests/service/platform/posix/NotifyListener.h"
#include "tests/service/platform/posix/ServiceFiles.h"
#include "tests/service/platform/posix/UniqueName.h"
#include "tests/support/TempTree.h"

namespace fs = std::filesystem;
using qrv::test::readFile;
using qrv::test::removeTree;
using qrv::test::writeFile;

namespace rulo::test {
namespace {

const std::string kPublished = "Korvex Quorvane Inventory data for WMI gets updated successfully";
const std::string kNoSpace = "rulosrv error (112): There is not enough space on the disk.";

// A tmpfs of a given size mounted on a directory, in a mount namespace of
// this thread's own (the one the tests and the collector run in), so that
// nothing outside the test sees it.
class SmallDisk {
 public:
  SmallDisk(std::string directory, std::size_t bytes) : directory_(std::move(directory)) {
    if (::unshare(CLONE_NEWNS) != 0) {
      reason_ = std::string("unshare(CLONE_NEWNS): ") + std::strerror(errno);
    } else if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
      reason_ = std::string("making the mounts private: ") + std::strerror(errno);
    } else if (::mount("tmpfs", directory_.c_str(), "tmpfs", 0, ("size=" + std::to_string(bytes)).c_str()) != 0) {
      reason_ = std::string("mounting a tmpfs: ") + std::strerror(errno);
    }
  }
  ~SmallDisk() {
    if (reason_.empty()) ::umount2(directory_.c_str(), MNT_DETACH);
  }
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  // Why it could not be mounted; empty when it is.
  const std::string& reason() const { return reason_; }

 private:
  std::string directory_;
  std::string reason_;
};

class PosixFaultInjection : public testing::Test, public FaultRig {
 protected:
  void SetUp() override {
    setenv("KORVEX_REGISTRY_FILE", files_.registry.c_str(), 1);
    setenv("RULOSRV_TRACE_DIR", files_.dir.c_str(), 1);
    setenv("NOTIFY_SOCKET", listener_.path().c_str(), 1);
    files_.writeRegistry(60);
  }

  void TearDown() override {
    installed_.reset();
    unsetenv("KORVEX_REGISTRY_FILE");
    unsetenv("RULOSRV_TRACE_DIR");
    unsetenv("NOTIFY_SOCKET");
  }

  // The data directory holding only the previous data file, nothing of
  // earlier runs beside the collector, the collector giving kNew.
  void layOut() {
    removeTree(files_.dataDir);
    writeFile(files_.dataFile, kPrevious);
    for (const auto& entry : fs::directory_iterator(files_.collectorDir))
      if (isUniqueName(entry.path().filename().string())) fs::remove(entry.path());
    fs::remove(files_.collectorDir + "/lastrun.log");
    setOutput(kNew);
  }

  void setOutput(const std::string& content) { writeFile(files_.collectorDir + "/payload", content); }

  // A fresh Linux platform with a faulty one over it, installed, its status
  // reports going to the listener.
  void install() {
    installed_.reset();
    faulty_.reset();
    real_ = std::make_unique<PosixPlatform>();
    faulty_ = std::make_unique<FaultyPlatform>(*real_);
    installed_ = std::make_unique<PlatformScope>(*faulty_);
    ServiceStatusReporter().attach(real_->registerServiceCtrlHandler(kServiceName, ServiceCtrlHandler));
  }

  RunLeft runWith(const Fault& fault) override {
    layOut();
    install();
    faulty_->inject(fault);
    return run();
  }

  RunLeft runClean() override {
    faulty_->inject(std::nullopt);
    setOutput(kNext);
    return run();
  }

  RunLeft run() {
    notifiedStates();  // those of earlier runs
    RunInventoryCollection();
    return left();
  }

  RunLeft left() {
    RunLeft left;
    if (fs::exists(files_.dataFile)) left.dataFile = readFile(files_.dataFile);
    if (fs::is_directory(files_.dataDir)) {
      for (const auto& entry : fs::directory_iterator(files_.dataDir)) {
        if (entry.path() != files_.dataFile) left.besideDataFile.push_back(readFile(entry.path().string()));
        left.uniqueFilesInDataDir += isUniqueName(entry.path().filename().string()) ? 1 : 0;
      }
    }
    for (const auto& entry : fs::directory_iterator(files_.collectorDir))
      left.uniqueFilesInCollectorDir += isUniqueName(entry.path().filename().string()) ? 1 : 0;
    left.errorEvents = faulty_->errorEvents();
    const std::vector<DWORD>& states = faulty_->reportedStates();
    if (!states.empty()) left.lastState = states.back();
    left.openHandles = faulty_->openHandles();
    return left;
  }

  // The states of the reports that reached the listener since the last call.
  std::vector<DWORD> notifiedStates() {
    std::vector<DWORD> states;
    while (const auto message = listener_.receive(0))
      states.push_back(static_cast<DWORD>(std::stoul(notifyFields(*message).at("RULO_STATE"))));
    return states;
  }

  bool reported(WORD type, const std::string& text) const {
    for (const ReportedEvent& event : faulty_->events())
      if (event.type == type && event.text == text) return true;
    return false;
  }

  ServiceFiles files_{"rulosrv faults"};
  NotifyListener listener_{files_.dir + "/notify"};
  std::unique_ptr<PosixPlatform> real_;
  std::unique_ptr<FaultyPlatform> faulty_;
  std::unique_ptr<PlatformScope> installed_;
};

TEST_F(PosixFaultInjection, EveryOperationOfARunFailingOnceOrForGood) {
  layOut();
  install();
  const RunLeft clean = run();
  ASSERT_EQ(clean.dataFile, kNew);
  ASSERT_EQ(clean.errorEvents, 0);
  ASSERT_EQ(notifiedStates(), (std::vector<DWORD>{StateStartPending, StateRunning, StateStopped}));
  const std::vector<Op> operations = faulty_->operations();

  const FaultCounts counts = InjectEveryFault(*this, operations);
  ReportFaultCounts("fault injection on the Linux platform", counts);
  EXPECT_EQ(counts.survived, counts.runs);
}

TEST_F(PosixFaultInjection, AFullDiskWhileCopyingKeepsThePreviousDataAndLeavesNothingOnTheDisk) {
  layOut();
  const SmallDisk disk(files_.dataDir, 64 << 10);
  if (!disk.reason().empty()) GTEST_SKIP() << "no small file system for the data directory: " << disk.reason();
  writeFile(files_.dataFile, kPrevious);
  writeFile(files_.dataDir + "/other.bin", std::string(24 << 10, 'o'));  // another program's file on the same disk
  const std::string big(48 << 10, 'n');
  setOutput(big);
  install();

  RunLeft left = run();
  CheckFaultyRun(left, Expected());
  ASSERT_EQ(faulty_->events().size(), 1u);
  EXPECT_EQ(faulty_->events()[0].errorText, kNoSpace);
  EXPECT_EQ(left.uniqueFilesInDataDir, 0u) << "a half-written copy would keep the disk full";
  EXPECT_EQ(left.uniqueFilesInCollectorDir, 0u);

  // Once the other program makes room, the next run publishes.
  fs::remove(files_.dataDir + "/other.bin");
  const std::string bigNext(40 << 10, 'x');
  setOutput(bigNext);
  faulty_->inject(std::nullopt);
  left = run();
  EXPECT_EQ(left.errorEvents, 0);
  EXPECT_TRUE(left.dataFile == bigNext) << "data file of " << left.dataFile.value_or("").size() << " bytes";
  EXPECT_EQ(left.besideDataFile, std::vector<std::string>{kPrevious});
}

TEST_F(PosixFaultInjection, TheDataDirectoryVanishingBetweenAnyTwoCallsEndsTheRunCleanly) {
  layOut();
  install();
  run();
  const std::vector<Op> operations = faulty_->operations();

  std::map<Op, int> seen;
  int published = 0, failed = 0;
  for (const Op op : operations) {
    const int nth = ++seen[op];
    SCOPED_TRACE(std::string("the data directory removed before ") + OpName(op) + " #" + std::to_string(nth));
    layOut();
    install();
    faulty_->beforeCall = [&, op, nth](Op called, int call) {
      if (called == op && call == nth) removeTree(files_.dataDir);
    };
    const RunLeft left = run();
    faulty_->beforeCall = nullptr;

    // Published into a directory made anew, or after publishing; otherwise
    // failed with one error event.
    const bool success = reported(EventSuccess, kPublished);
    EXPECT_EQ(left.errorEvents, success ? 0 : 1);
    published += success ? 1 : 0;
    failed += left.errorEvents;
    EXPECT_EQ(left.lastState, std::optional<DWORD>(StateStopped));
    // Nothing half-written: a data directory there holds the new data file alone.
    EXPECT_TRUE(left.besideDataFile.empty());
    EXPECT_TRUE(!left.dataFile || left.dataFile == kNew);
    EXPECT_LE(left.uniqueFilesInCollectorDir, 1u);
    EXPECT_EQ(left.openHandles, 0);

    // With the directory back, the next run publishes.
    fs::create_directories(files_.dataDir);
    const std::optional<std::string> before = left.dataFile;
    const RunLeft next = runClean();
    EXPECT_EQ(next.errorEvents, 0);
    EXPECT_EQ(next.dataFile, kNext);
    EXPECT_EQ(next.besideDataFile, before ? std::vector<std::string>{*before} : std::vector<std::string>());
  }
  std::printf("vanishing data directory: %zu runs, %d published, %d failed with one error event\n",
              operations.size(), published, failed);
  EXPECT_GT(failed, 0);
}

}  // namespace
}  // namespace rulo::test
