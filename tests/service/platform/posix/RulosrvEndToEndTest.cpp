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
#include "tests/service/platform/posix/ServiceFiles.h"
#include "tests/support/TempTree.h"
#include "tests/service/platform/posix/UniqueName.h"

namespace fs = std::filesystem;
using qrv::test::readFile;
using qrv::test::writeFile;
using rulo::test::ServiceFiles;

extern char** environ;

namespace {

// state, check point, wait hint
using Report = std::tuple<std::string, std::string, std::string>;

const std::vector<Report> kFullRun = {{"2", "1", "3000"}, {"2", "2", "3000"}, {"4", "0", "0"}, {"1", "0", "3000"}};

class RulosrvEndToEnd : public testing::Test {
 protected:
  void SetUp() override {
    setCollector("0", "<inventory/>");
    files_.writeRegistry(0);
  }

  void setCollector(const std::string& code, const std::string& payload) {
    writeFile(files_.collectorDir + "/code", code + "\n");
    writeFile(files_.collectorDir + "/payload", payload);
  }

  // Runs rulosrv to its end; the exit status and, under systemd, the reports.
  // With stopWhenRunning, systemctl stop's SIGTERM follows the running report.
  int run(bool underSystemd, std::vector<Report>* reports = nullptr, bool stopWhenRunning = false) {
    env_ = {"KORVEX_REGISTRY_FILE=" + files_.registry, "RULOSRV_TRACE_DIR=" + files_.dir, "PATH=/usr/bin:/bin"};
    std::unique_ptr<rulo::test::NotifyListener> listener;
    if (underSystemd) {
      listener = std::make_unique<rulo::test::NotifyListener>(files_.dir + "/notify");
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

  ServiceFiles files_{"rulosrv e2e"};
  std::vector<std::string> env_;
};

TEST_F(RulosrvEndToEnd, TwoRunsPublishTheCollectorOutputAndSetThePreviousFilesAside) {
  writeFile(files_.dataFile, "<previous/>");
  std::vector<Report> reports;
  ASSERT_EQ(run(true, &reports), 0);
  EXPECT_EQ(reports, kFullRun);
  EXPECT_EQ(readFile(files_.dataFile), "<inventory/>");
  EXPECT_EQ(readFile(files_.collectorDir + "/lastrun.log"), "collector log\n");
  const std::string trace = readFile(files_.dir + "/InvLog.txt");
  const std::string parameters = "-outc=\"" + tmpFiles(files_.collectorDir).at(0) + "\" -logc=\"" + files_.collectorDir + "/lastrun.log\"";
  EXPECT_EQ(trace, parameters + "\nInventory Collection completed\n");

  setCollector("1", "<inventory run=\"2\"/>");
  ASSERT_EQ(run(true), 0);
  EXPECT_EQ(readFile(files_.dataFile), "<inventory run=\"2\"/>");
  setCollector("0", "<inventory run=\"3\"/>");
  ASSERT_EQ(run(true), 0);
  EXPECT_EQ(readFile(files_.dataFile), "<inventory run=\"3\"/>");
  // Only the newest set-aside copy and collector output stay.
  const auto setAside = tmpFiles(files_.dataDir);
  ASSERT_EQ(setAside.size(), 1u);
  EXPECT_EQ(readFile(setAside[0]), "<inventory run=\"2\"/>");
  const auto outputs = tmpFiles(files_.collectorDir);
  ASSERT_EQ(outputs.size(), 1u);
  EXPECT_EQ(readFile(outputs[0]), "<inventory run=\"3\"/>");
  EXPECT_TRUE(fs::exists(files_.collectorDir + "/lastrun.log"));
}

TEST_F(RulosrvEndToEnd, AStopDuringTheStartDelayEndsTheRunAtOnce) {
  writeFile(files_.dataFile, "<previous/>");
  files_.writeRegistry(0, 60);
  const auto start = std::chrono::steady_clock::now();
  std::vector<Report> reports;
  ASSERT_EQ(run(true, &reports, true), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
  const std::vector<Report> stopped = {kFullRun[0], kFullRun[1], kFullRun[2], {"3", "3", "0"}, kFullRun[3]};
  EXPECT_EQ(reports, stopped);
  EXPECT_FALSE(fs::exists(files_.collectorDir + "/pid")) << "the collector was not started";
  EXPECT_EQ(readFile(files_.dataFile), "<previous/>");
  EXPECT_TRUE(tmpFiles(files_.collectorDir).empty());
}

TEST_F(RulosrvEndToEnd, ACollectorThatCannotBeStartedEndsTheRunWithoutRetry) {
  writeFile(files_.dataFile, "<previous/>");
  writeFile(files_.collector, "#!" + files_.dir + "/missing folder/sh\n");
  fs::permissions(files_.collector, fs::perms::owner_all);
  std::vector<Report> reports;
  ASSERT_EQ(run(true, &reports), 0);
  EXPECT_EQ(reports, kFullRun);
  EXPECT_EQ(readFile(files_.dataFile), "<previous/>");
  EXPECT_TRUE(tmpFiles(files_.collectorDir).empty());
}

TEST_F(RulosrvEndToEnd, AFatalFailurePublishesNothingAndDeletesTheCollectorOutput) {
  writeFile(files_.dataFile, "<previous/>");
  setCollector("2", "<broken/>");
  std::vector<Report> reports;
  ASSERT_EQ(run(true, &reports), 0);
  EXPECT_EQ(reports, kFullRun);
  EXPECT_EQ(readFile(files_.dataFile), "<previous/>");
  EXPECT_TRUE(tmpFiles(files_.collectorDir).empty());
  EXPECT_TRUE(tmpFiles(files_.dataDir).empty());
}

TEST_F(RulosrvEndToEnd, ACollectorOutlivingTheTimeoutFailsTheRunAndKeepsRunning) {
  files_.writeRegistry(1);
  writeFile(files_.collectorDir + "/delay", "4\n");
  const auto start = std::chrono::steady_clock::now();
  std::vector<Report> reports;
  ASSERT_EQ(run(true, &reports), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
  EXPECT_EQ(reports, kFullRun);
  EXPECT_FALSE(fs::exists(files_.dataFile));
  EXPECT_TRUE(tmpFiles(files_.collectorDir).empty());

  const pid_t collector = std::stoi(readFile(files_.collectorDir + "/pid"));
  EXPECT_EQ(::kill(collector, 0), 0) << "the collector should still run";
  ::kill(collector, SIGKILL);
}

TEST_F(RulosrvEndToEnd, StartedByHandItEndsWithoutRunning) {
  EXPECT_EQ(run(false), 0);
  EXPECT_FALSE(fs::exists(files_.collectorDir + "/pid"));
  EXPECT_FALSE(fs::exists(files_.dir + "/InvLog.txt"));
}

}  // namespace
