// The whole program on Linux: rulosrv started the way systemd starts it, with
// a collector script, a registry file and a notification socket of the test's
// own.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
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

// A run takes about a second; one that hangs is killed after this.
constexpr std::chrono::seconds kRunLimit{30};

fs::perms modeOf(const std::string& path) { return fs::status(path).permissions(); }

// Makes a symbolic link as the unprivileged user nobody, who may write to a
// folder open to everyone, where the test runs as root; as the test's own
// user elsewhere.
void plantLinkAsNobody(const std::string& target, const std::string& link) {
  const passwd* nobody = ::getuid() == 0 ? ::getpwnam("nobody") : nullptr;
  if (!nobody) {
    fs::create_symlink(target, link);
    return;
  }
  const uid_t uid = nobody->pw_uid;
  const gid_t gid = nobody->pw_gid;
  const pid_t child = ::fork();
  if (child == 0) {
    const bool planted = ::setgroups(0, nullptr) == 0 && ::setresgid(gid, gid, gid) == 0 &&
                         ::setresuid(uid, uid, uid) == 0 && ::symlink(target.c_str(), link.c_str()) == 0;
    ::_exit(planted ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "nobody could not plant " << link;
}

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

  // Runs program_ with arguments_ to its end, its standard output kept for
  // output(); the exit status, or -1 when it had not ended within kRunLimit
  // and was killed. Under systemd, the reports; with stopWhenRunning,
  // systemctl stop's SIGTERM follows the running report.
  int run(bool underSystemd, std::vector<Report>* reports = nullptr, bool stopWhenRunning = false) {
    env_ = {"KORVEX_REGISTRY_FILE=" + files_.registry, "RULOSRV_TRACE_DIR=" + files_.dir, "PATH=" + path_};
    env_.insert(env_.end(), extraEnv_.begin(), extraEnv_.end());
    std::unique_ptr<rulo::test::NotifyListener> listener;
    if (underSystemd) {
      listener = std::make_unique<rulo::test::NotifyListener>(files_.dir + "/notify");
      env_.push_back("NOTIFY_SOCKET=" + listener->path());
    }
    std::vector<char*> env;
    for (auto& e : env_) env.push_back(e.data());
    env.push_back(nullptr);
    std::vector<char*> argv = {program_.data()};
    for (auto& argument : arguments_) argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outputPath().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program_.c_str(), &actions, nullptr, argv.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;
    const auto deadline = std::chrono::steady_clock::now() + kRunLimit;
    int status = 0;
    bool stopSent = false;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > deadline) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        ADD_FAILURE() << "rulosrv did not end within " << kRunLimit.count() << " s";
        return -1;
      }
      if (listener) collect(*listener, reports, 20);
      else std::this_thread::sleep_for(std::chrono::milliseconds(20));
      if (stopWhenRunning && !stopSent && reports && !reports->empty() && std::get<0>(reports->back()) == "4")
        stopSent = ::kill(pid, SIGTERM) == 0;
    }
    if (listener) collect(*listener, reports, 100);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  std::string outputPath() const { return files_.dir + "/stdout"; }
  std::string output() const { return readFile(outputPath()); }

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
  std::string program_ = RULOSRV_PATH;
  std::vector<std::string> arguments_;
  std::string path_ = "/usr/bin:/bin";
  std::vector<std::string> extraEnv_;
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

// Anyone may write to the data folder: links planted there as the data file
// and under a unique file's name point at files of the system with the modes
// of /etc/shadow (0400) and /etc/sudoers (0440). Two runs publish and leave
// those files as they were.
TEST_F(RulosrvEndToEnd, LinksPlantedInADataFolderOpenToEveryoneNeverReachTheirTargets) {
  const std::string sudoers = files_.dir + "/etc/sudoers";
  const std::string shadow = files_.dir + "/etc/shadow";
  writeFile(sudoers, "root ALL=(ALL) ALL\n");
  writeFile(shadow, "root:*:19000::::::\n");
  fs::permissions(sudoers, fs::perms::owner_read | fs::perms::group_read);
  fs::permissions(shadow, fs::perms::owner_read);
  fs::permissions(files_.dir, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
  fs::create_directories(files_.dataDir);
  fs::permissions(files_.dataDir, fs::perms::all);
  plantLinkAsNobody(sudoers, files_.dataDir + "/rulAB.TMP");
  plantLinkAsNobody(shadow, files_.dataFile);

  for (const std::string inventory : {"<inventory run=\"1\"/>", "<inventory run=\"2\"/>"}) {
    setCollector("0", inventory);
    ASSERT_EQ(run(true), 0);
    EXPECT_FALSE(fs::is_symlink(files_.dataFile));
    EXPECT_EQ(readFile(files_.dataFile), inventory);
  }
  EXPECT_EQ(modeOf(sudoers), fs::perms::owner_read | fs::perms::group_read);
  EXPECT_EQ(modeOf(shadow), fs::perms::owner_read);
  EXPECT_EQ(readFile(sudoers), "root ALL=(ALL) ALL\n");
  EXPECT_EQ(readFile(shadow), "root:*:19000::::::\n");
}

// Opening a FIFO for writing waits for a reader: one named like the trace
// file once held the service before it started the collector.
TEST_F(RulosrvEndToEnd, AFifoNamedLikeTheTraceFileIsSkippedAndTheRunGoesOn) {
  const std::string trace = files_.dir + "/InvLog.txt";
  ASSERT_EQ(::mkfifo(trace.c_str(), 0666), 0);
  std::vector<Report> reports;
  ASSERT_EQ(run(true, &reports), 0);
  EXPECT_EQ(reports, kFullRun);
  EXPECT_EQ(readFile(files_.dataFile), "<inventory/>");
  EXPECT_TRUE(fs::is_fifo(trace));
}

// systemd splits ExecStart at a double quote inside the program path, as
// Windows splits an unquoted service path at a blank.
TEST_F(RulosrvEndToEnd, InstallingFromAFolderWhoseNameHoldsADoubleQuoteIsRefused) {
  const std::string folder = files_.dir + "/my \"odd\" tools";
  fs::create_directories(folder);
  program_ = folder + "/rulosrv";
  fs::copy_file(RULOSRV_PATH, program_);
  writeFile(files_.dir + "/bin/systemctl", "#!/bin/sh\nexit 0\n");
  fs::permissions(files_.dir + "/bin/systemctl", fs::perms::owner_all);
  path_ = files_.dir + "/bin:" + path_;
  const std::string units = files_.dir + "/units";
  fs::create_directories(units);
  extraEnv_ = {"RULOSRV_UNIT_DIR=" + units};
  arguments_ = {"-install"};

  EXPECT_EQ(run(false), 1);
  EXPECT_EQ(output().rfind("rulosrv installation is failed: the program path holds a double quote: " + program_ + "\n", 0),
            0u)
      << output();
  EXPECT_TRUE(fs::is_empty(units)) << "a unit was written";
}

// A double quote in the collector's path once garbled its arguments: its log
// went outside its folder, and a collector that ended with 0 had an empty
// data file published.
TEST_F(RulosrvEndToEnd, ACollectorPathHoldingADoubleQuoteIsRefusedBeforeItRuns) {
  writeFile(files_.dataFile, "<previous/>");
  const std::string folder = files_.dir + "/inv \"q\" tools";
  fs::create_directories(folder);
  for (const char* name : {"collector.sh", "payload", "code"})
    fs::copy_file(files_.collectorDir + "/" + name, folder + "/" + name);
  const std::string collector = folder + "/collector.sh";
  files_.writeRegistry(0, 0, collector);
  arguments_ = {"-run"};

  EXPECT_EQ(run(false), 2);
  EXPECT_NE(output().find("error: Registry key value invexecdir holds a double quote: " + collector + "\n"),
            std::string::npos)
      << output();
  EXPECT_FALSE(fs::exists(folder + "/pid")) << "the collector ran";
  EXPECT_EQ(readFile(files_.dataFile), "<previous/>");
}

// The events keep their fixed text; the console run and the trace also name
// the registry file, the value and, in a malformed file, the line.
TEST_F(RulosrvEndToEnd, AConfigurationThatCannotBeReadNamesTheFileTheValueAndTheLine) {
  const std::string key = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Korvex\\rulo\\SysInvSrv]";
  const std::string header = "Windows Registry Editor Version 5.00\n\n" + key + "\n";
  const std::string missing = "  rulosrv error (2): The system cannot find the file specified.\n";
  const std::string value = "Registry key value invexecdir, the full path of the inventory collector, cannot be read: ";
  struct Case {
    std::optional<std::string> registry;
    std::string errorLine, detail;
  };
  const std::vector<Case> cases = {
      {std::nullopt, missing, value + "the registry file " + files_.registry + " does not exist"},
      {header + "\"invoutputfile\"=\"/tmp/inventory.xml\"\n", missing,
       value + "the registry file " + files_.registry + " has no value \"invexecdir\" in " + key},
      {header + "\"invexecdir\"=\"/opt/c\"\n\"invoutputfile\"=/tmp/inventory.xml\n",
       "  rulosrv error (1009): The configuration registry database is corrupt.\n",
       value + "the registry file " + files_.registry + ", line 5: unknown value data: /tmp/inventory.xml"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.detail);
    fs::remove(files_.registry);
    fs::remove(files_.dir + "/InvLog.txt");
    if (c.registry) writeFile(files_.registry, *c.registry);
    arguments_ = {"-run"};

    EXPECT_EQ(run(false), 2);
    EXPECT_EQ(output(), "rulosrv: error: Missing registry key value for Korvex Inventory Collector utility\n" +
                            c.errorLine + "  " + c.detail + "\n");
    EXPECT_EQ(readFile(files_.dir + "/InvLog.txt"), c.detail + "\n");
  }
}

TEST_F(RulosrvEndToEnd, AStartThatSystemctlRefusesShowsWhatSystemctlSaid) {
  const std::string bin = files_.dir + "/bin";
  const std::string units = files_.dir + "/units";
  fs::create_directories(bin);
  fs::create_directories(units);
  writeFile(units + "/rulosrv.service", "");
  writeFile(bin + "/systemctl", "#!/bin/sh\n[ \"$1\" = show ] && exit 0\n"
                                "echo 'Failed to start rulosrv.service: Access denied' >&2\nexit 4\n");
  fs::permissions(bin + "/systemctl", fs::perms::owner_all);
  path_ = bin + ":" + path_;
  extraEnv_ = {"RULOSRV_UNIT_DIR=" + units};
  arguments_ = {"-start"};

  EXPECT_EQ(run(false), 2);
  EXPECT_EQ(output(),
            "Service (rulosrv) cannot be started:\n"
            "  systemctl start --no-block rulosrv.service ended with exit status 4:\n"
            "  Failed to start rulosrv.service: Access denied\n"
            "  Check that the service manager runs, that this account may start services, and that rulosrv is "
            "installed (rulosrv -install) and stopped.\n");
}

// On Linux a full path starts at "/"; a Windows one is a relative path here.
TEST_F(RulosrvEndToEnd, ARelativeCollectorPathIsRefusedBeforeItRuns) {
  writeFile(files_.dataFile, "<previous/>");
  for (const std::string collector : {"inv tools/collector.sh", "C:\\inv\\collector.exe"}) {
    SCOPED_TRACE(collector);
    files_.writeRegistry(0, 0, collector);
    arguments_ = {"-run"};

    EXPECT_EQ(run(false), 2);
    EXPECT_EQ(output(), "rulosrv: error: Registry key value invexecdir is not a full path: " + collector +
                            "\n  rulosrv error (123): The filename, directory name, or volume label syntax is "
                            "incorrect.\n");
    EXPECT_FALSE(fs::exists(files_.collectorDir + "/pid")) << "the collector ran";
    EXPECT_EQ(readFile(files_.dataFile), "<previous/>");
  }
}

}  // namespace
