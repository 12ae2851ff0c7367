// The whole program on Linux: rulosrv started the way systemd starts it, with
// a collector script, a registry file and a notification socket of the test's
// own.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <thread>
#include <tuple>

#include "tests/service/platform/posix/NotifyListener.h"
#include "tests/support/TempTree.h"
#include "tests/service/platform/posix/UniqueName.h"

namespace fs = std::filesystem;
using qrv::test::makeTempDir;
using qrv::test::readFile;
using qrv::test::removeTree;
using qrv::test::writeFile;

extern char** environ;

namespace {

// state, check point, wait hint
using Report = std::tuple<std::string, std::string, std::string>;

const std::vector<Report> kFullRun = {{"2", "1", "3000"}, {"2", "2", "3000"}, {"4", "0", "0"}, {"1", "0", "3000"}};

class RulosrvEndToEnd : public testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(collectorDir_);
    writeFile(collector_,
              "#!/bin/sh\n"
              "for a in \"$@\"; do case \"$a\" in -outc=*) out=\"${a#-outc=}\";; -logc=*) log=\"${a#-logc=}\";; esac; done\n"
              "echo $$ > pid\n"
              "sleep \"$(cat delay 2>/dev/null || echo 0)\"\n"
              "cat payload > \"$out\"\n"
              "echo \"collector log\" > \"$log\"\n"
              "exit \"$(cat code)\"\n");
    fs::permissions(collector_, fs::perms::owner_all);
    setCollector("0", "<inventory/>");
    writeRegistry(0);
  }
  void TearDown() override { removeTree(dir_); }

  void setCollector(const std::string& code, const std::string& payload) {
    writeFile(collectorDir_ + "/code", code + "\n");
    writeFile(collectorDir_ + "/payload", payload);
  }

  void writeRegistry(unsigned timeoutSeconds, unsigned delaySeconds = 0) {
    char timeout[16];
    char delay[16];
    std::snprintf(timeout, sizeof timeout, "%08x", timeoutSeconds);
    std::snprintf(delay, sizeof delay, "%08x", delaySeconds);
    writeFile(registry_, "Windows Registry Editor Version 5.00\n\n"
                         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Korvex\\rulo\\SysInvSrv]\n"
                         "\"invexecdir\"=\"" + collector_ + "\"\n"
                         "\"invoutputfile\"=\"" + dataFile_ + "\"\n"
                         "\"invtimeout\"=dword:" + timeout + "\n"
                         "\"startdelaysecond\"=dword:" + delay + "\n");
  }

  // Runs rulosrv to its end; the exit status and, under systemd, the reports.
  // With stopWhenRunning, systemctl stop's SIGTERM follows the running report.
  int run(bool underSystemd, std::vector<Report>* reports = nullptr, bool stopWhenRunning = false) {
    env_ = {"KORVEX_REGISTRY_FILE=" + registry_, "RULOSRV_TRACE_DIR=" + dir_, "PATH=/usr/bin:/bin"};
    std::unique_ptr<rulo::test::NotifyListener> listener;
    if (underSystemd) {
      listener = std::make_unique<rulo::test::NotifyListener>(dir_ + "/notify");
      env_.push_back("NOTIFY_SOCKET=" + listener->path());
    }
    std::vector<char*> env;
    for (auto& e : env_) env.push_back(e.data());
    env.push_back(nullptr);
    char* argv[] = {const_cast<char*>(RULOSRV_PATH), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, RULOSRV_PATH, nullptr, nullptr, argv, env.data()) != 0) return -1;
    int status = 0;
    bool stopSent = false;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
      if (listener) collect(*listener, reports, 20);
      else std::this_thread::sleep_for(std::chrono::milliseconds(20));
      if (stopWhenRunning && !stopSent && reports && !reports->empty() && std::get<0>(reports->back()) == "4")
        stopSent = ::kill(pid, SIGTERM) == 0;
    }
    if (listener) collect(*listener, reports, 100);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  static void collect(rulo::test::NotifyListener& listener, std::vector<Report>* reports, int timeoutMs) {
    while (const auto message = listener.receive(timeoutMs)) {
      const auto fields = rulo::test::notifyFields(*message);
      if (reports) reports->emplace_back(fields.at("RULO_STATE"), fields.at("RULO_CHECK_POINT"), fields.at("RULO_WAIT_HINT"));
    }
  }

  std::vector<std::string> tmpFiles(const std::string& directory) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) {
      const std::string name = entry.path().filename().string();
      if (rulo::test::isUniqueName(name)) names.push_back(entry.path().string());
    }
    return names;
  }

  std::string dir_ = makeTempDir("rulosrv e2e");
  std::string collectorDir_ = dir_ + "/inv tools";
  std::string collector_ = collectorDir_ + "/collector.sh";
  std::string dataDir_ = dir_ + "/data";
  std::string dataFile_ = dataDir_ + "/inventory.xml";
  std::string registry_ = dir_ + "/registry.reg";
  std::vector<std::string> env_;
};

TEST_F(RulosrvEndToEnd, TwoRunsPublishTheCollectorOutputAndSetThePreviousFilesAside) {
  writeFile(dataFile_, "<previous/>");
  std::vector<Report> reports;
  ASSERT_EQ(run(true, &reports), 0);
  EXPECT_EQ(reports, kFullRun);
  EXPECT_EQ(readFile(dataFile_), "<inventory/>");
  EXPECT_EQ(readFile(collectorDir_ + "/lastrun.log"), "collector log\n");
  const std::string trace = readFile(dir_ + "/InvLog.txt");
  const std::string parameters = "-outc=\"" + tmpFiles(collectorDir_).at(0) + "\" -logc=\"" + collectorDir_ + "/lastrun.log\"";
  EXPECT_EQ(trace, parameters + "\nInventory Collection completed\n");

  setCollector("1", "<inventory run=\"2\"/>");
  ASSERT_EQ(run(true), 0);
  EXPECT_EQ(readFile(dataFile_), "<inventory run=\"2\"/>");
  setCollector("0", "<inventory run=\"3\"/>");
  ASSERT_EQ(run(true), 0);
  EXPECT_EQ(readFile(dataFile_), "<inventory run=\"3\"/>");
  // Only the newest set-aside copy and collector output stay.
  const auto setAside = tmpFiles(dataDir_);
  ASSERT_EQ(setAside.size(), 1u);
  EXPECT_EQ(readFile(setAside[0]), "<inventory run=\"2\"/>");
  const auto outputs = tmpFiles(collectorDir_);
  ASSERT_EQ(outputs.size(), 1u);
  EXPECT_EQ(readFile(outputs[0]), "<inventory run=\"3\"/>");
  EXPECT_TRUE(fs::exists(collectorDir_ + "/lastrun.log"));
}

TEST_F(RulosrvEndToEnd, AStopDuringTheStartDelayEndsTheRunAtOnce) {
  writeFile(dataFile_, "<previous/>");
  writeRegistry(0, 60);
  const auto start = std::chrono::steady_clock::now();
  std::vector<Report> reports;
  ASSERT_EQ(run(true, &reports, true), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
  const std::vector<Report> stopped = {kFullRun[0], kFullRun[1], kFullRun[2], {"3", "3", "0"}, kFullRun[3]};
  EXPECT_EQ(reports, stopped);
  EXPECT_FALSE(fs::exists(collectorDir_ + "/pid")) << "the collector was not started";
  EXPECT_EQ(readFile(dataFile_), "<previous/>");
  EXPECT_TRUE(tmpFiles(collectorDir_).empty());
}

TEST_F(RulosrvEndToEnd, ACollectorThatCannotBeStartedEndsTheRunWithoutRetry) {
  writeFile(dataFile_, "<previous/>");
  writeFile(collector_, "#!" + dir_ + "/missing folder/sh\n");
  fs::permissions(collector_, fs::perms::owner_all);
  std::vector<Report> reports;
  ASSERT_EQ(run(true, &reports), 0);
  EXPECT_EQ(reports, kFullRun);
  EXPECT_EQ(readFile(dataFile_), "<previous/>");
  EXPECT_TRUE(tmpFiles(collectorDir_).empty());
}

TEST_F(RulosrvEndToEnd, AFatalFailurePublishesNothingAndDeletesTheCollectorOutput) {
  writeFile(dataFile_, "<previous/>");
  setCollector("2", "<broken/>");
  std::vector<Report> reports;
  ASSERT_EQ(run(true, &reports), 0);
  EXPECT_EQ(reports, kFullRun);
  EXPECT_EQ(readFile(dataFile_), "<previous/>");
  EXPECT_TRUE(tmpFiles(collectorDir_).empty());
  EXPECT_TRUE(tmpFiles(dataDir_).empty());
}

TEST_F(RulosrvEndToEnd, ACollectorOutlivingTheTimeoutFailsTheRunAndKeepsRunning) {
  writeRegistry(1);
  writeFile(collectorDir_ + "/delay", "4\n");
  const auto start = std::chrono::steady_clock::now();
  std::vector<Report> reports;
  ASSERT_EQ(run(true, &reports), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
  EXPECT_EQ(reports, kFullRun);
  EXPECT_FALSE(fs::exists(dataFile_));
  EXPECT_TRUE(tmpFiles(collectorDir_).empty());

  const pid_t collector = std::stoi(readFile(collectorDir_ + "/pid"));
  EXPECT_EQ(::kill(collector, 0), 0) << "the collector should still run";
  ::kill(collector, SIGKILL);
}

TEST_F(RulosrvEndToEnd, StartedByHandItEndsWithoutRunning) {
  EXPECT_EQ(run(false), 0);
  EXPECT_FALSE(fs::exists(collectorDir_ + "/pid"));
  EXPECT_FALSE(fs::exists(dir_ + "/InvLog.txt"));
}

}  // namespace
