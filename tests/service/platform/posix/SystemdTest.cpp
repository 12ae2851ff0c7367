#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "tests/service/platform/posix/NotifyListener.h"
#include "service/platform/posix/LastError.h"
#include "service/platform/posix/PosixPlatform.h"
#include "service/platform/posix/SystemdUnit.h"
#include "tests/support/TempTree.h"

namespace fs = std::filesystem;
using namespace rulo;
using qrv::test::makeTempDir;
using qrv::test::readFile;
using qrv::test::removeTree;
using qrv::test::writeFile;

namespace {

// The service entry and handler are plain functions, as on Windows.
PosixPlatform* servicePlatform = nullptr;
std::atomic<Handle> statusHandle{0};
std::atomic<DWORD> controlReceived{0};

ServiceStatus statusOf(DWORD state, DWORD checkPoint, DWORD waitHint) {
  return {0x10, state, state == 2 ? 0u : 5u, 0, 0, checkPoint, waitHint};
}

void stopHandler(DWORD control) {
  servicePlatform->setServiceStatus(statusHandle, statusOf(3, 3, 0));
  controlReceived = control;
}

void serviceMain(DWORD argc, char** argv) {
  if (argc != 1 || std::string(argv[0]) != "rulosrv") return;
  statusHandle = servicePlatform->registerServiceCtrlHandler("rulosrv", stopHandler);
  servicePlatform->setServiceStatus(statusHandle, statusOf(4, 0, 0));
  ::kill(::getpid(), SIGTERM);
  for (int i = 0; i < 500 && controlReceived == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  servicePlatform->setServiceStatus(statusHandle, statusOf(1, 0, 3000));
}

class PosixServiceManager : public testing::Test {
 protected:
  void SetUp() override {
    servicePlatform = &platform_;
    setenv("RULOSRV_UNIT_DIR", (dir_ + "/units").c_str(), 1);
    fs::create_directories(dir_ + "/units");
    writeFile(dir_ + "/bin/systemctl",
              "#!/bin/sh\necho \"$@\" >> " + dir_ + "/calls\n"
              "[ \"$1\" = show ] && cat " + dir_ + "/show\nexit 0\n");
    fs::permissions(dir_ + "/bin/systemctl", fs::perms::owner_all);
    setenv("PATH", (dir_ + "/bin:" + path_).c_str(), 1);
  }
  void TearDown() override {
    unsetenv("RULOSRV_UNIT_DIR");
    unsetenv("NOTIFY_SOCKET");
    setenv("PATH", path_.c_str(), 1);
    removeTree(dir_);
  }

  PosixPlatform platform_;
  std::string dir_ = makeTempDir("posixsvc");
  std::string path_ = std::getenv("PATH");
};

TEST_F(PosixServiceManager, StartedByHandTheDispatcherFails) {
  unsetenv("NOTIFY_SOCKET");
  EXPECT_FALSE(platform_.startServiceCtrlDispatcher("rulosrv", serviceMain));
  EXPECT_EQ(platform_.lastError(), posix::kErrorFailedServiceControllerConnect);
  EXPECT_FALSE(platform_.setServiceStatus(12345, statusOf(4, 0, 0)));
}

TEST_F(PosixServiceManager, UnderSystemdTheServiceRunsAndSigtermIsTheStopControl) {
  test::NotifyListener listener(dir_ + "/notify");
  setenv("NOTIFY_SOCKET", listener.path().c_str(), 1);
  ASSERT_TRUE(platform_.startServiceCtrlDispatcher("rulosrv", serviceMain));
  EXPECT_EQ(controlReceived, 1u);

  const auto running = test::notifyFields(listener.receive(1000).value_or(""));
  EXPECT_EQ(running.at("READY"), "1");
  EXPECT_EQ(running.at("STATUS"), "Running (check point 0, wait hint 0 ms)");
  EXPECT_EQ(running.at("RULO_STATE"), "4");
  EXPECT_EQ(running.at("RULO_CONTROLS_ACCEPTED"), "5");
  EXPECT_EQ(running.at("RULO_SERVICE_TYPE"), "16");
  const auto stopPending = test::notifyFields(listener.receive(1000).value_or(""));
  EXPECT_EQ(stopPending.at("STOPPING"), "1");
  EXPECT_EQ(stopPending.at("RULO_STATE"), "3");
  EXPECT_EQ(stopPending.at("RULO_CHECK_POINT"), "3");
  EXPECT_EQ(stopPending.count("READY"), 0u);
  const auto stopped = test::notifyFields(listener.receive(1000).value_or(""));
  EXPECT_EQ(stopped.at("RULO_STATE"), "1");
  EXPECT_EQ(stopped.at("RULO_WAIT_HINT"), "3000");
  EXPECT_FALSE(listener.receive(100));
}

TEST_F(PosixServiceManager, InstallWritesAndEnablesANotifyUnitAndRemoveDeletesIt) {
  unsetenv("KORVEX_REGISTRY_FILE");
  unsetenv("RULOSRV_TRACE_DIR");
  const Handle manager = platform_.openServiceManager();
  ASSERT_NE(manager, 0u);
  EXPECT_EQ(platform_.openService(manager, "rulosrv", 0x80000000), 0u);
  EXPECT_EQ(platform_.lastError(), posix::kErrorServiceDoesNotExist);

  ServiceConfig config{"rulosrv", "KSM CM Inventory Agent", 0xF01FF, 0x110, 2, 1, "\"/opt/my dir/rulosrv\""};
  const Handle created = platform_.createService(manager, config);
  ASSERT_NE(created, 0u);
  EXPECT_EQ(readFile(dir_ + "/units/rulosrv.service"),
            "[Unit]\nDescription=KSM CM Inventory Agent\n\n[Service]\nType=notify\n"
            "ExecStart=\"/opt/my dir/rulosrv\"\n\n[Install]\nWantedBy=multi-user.target\n");
  EXPECT_EQ(fs::read_symlink(dir_ + "/units/multi-user.target.wants/rulosrv.service"),
            dir_ + "/units/rulosrv.service");
  EXPECT_EQ(platform_.createService(manager, config), 0u);
  EXPECT_EQ(platform_.lastError(), posix::kErrorServiceExists);

  const Handle service = platform_.openService(manager, "rulosrv", 0xF01FF);
  ASSERT_NE(service, 0u);
  EXPECT_TRUE(platform_.deleteService(service));
  EXPECT_FALSE(fs::exists(dir_ + "/units/rulosrv.service"));
  EXPECT_FALSE(fs::is_symlink(dir_ + "/units/multi-user.target.wants/rulosrv.service"));
  EXPECT_NE(readFile(dir_ + "/calls").find("daemon-reload"), std::string::npos);
  for (Handle h : {created, service, manager}) EXPECT_TRUE(platform_.closeServiceHandle(h));
  EXPECT_FALSE(platform_.closeServiceHandle(manager));
}

TEST_F(PosixServiceManager, TheUnitCarriesTheInstallersRegistryFileAndTraceDirectoryAndInstallCreatesIt) {
  const std::string registry = dir_ + "/my \"100%\" registry.reg";
  setenv("KORVEX_REGISTRY_FILE", registry.c_str(), 1);
  setenv("RULOSRV_TRACE_DIR", "trace", 1);  // relative to the installer's directory
  const fs::path before = fs::current_path();
  fs::current_path(dir_);
  const Handle manager = platform_.openServiceManager();
  ServiceConfig config{"rulosrv", "KSM CM Inventory Agent", 0xF01FF, 0x110, 2, 1, "\"/opt/rulosrv\""};
  const Handle created = platform_.createService(manager, config);
  fs::current_path(before);
  unsetenv("KORVEX_REGISTRY_FILE");
  unsetenv("RULOSRV_TRACE_DIR");
  ASSERT_NE(created, 0u);
  EXPECT_EQ(readFile(dir_ + "/units/rulosrv.service"),
            "[Unit]\nDescription=KSM CM Inventory Agent\n\n[Service]\nType=notify\n"
            "Environment=\"KORVEX_REGISTRY_FILE=" + dir_ + "/my \\\"100%%\\\" registry.reg\"\n"
            "Environment=\"RULOSRV_TRACE_DIR=" + dir_ + "/trace\"\n"
            "ExecStart=\"/opt/rulosrv\"\n\n[Install]\nWantedBy=multi-user.target\n");
  EXPECT_TRUE(fs::is_directory(dir_ + "/trace"));
  for (Handle h : {created, manager}) EXPECT_TRUE(platform_.closeServiceHandle(h));
}

// A line feed in the program path or the display name once added lines of
// its own to the unit ("\nExecStartPre=..." ran another program first).
TEST_F(PosixServiceManager, ControlCharactersCannotAddLinesToTheUnit) {
  unsetenv("KORVEX_REGISTRY_FILE");
  setenv("RULOSRV_TRACE_DIR", "/t\r\n[Service]", 1);
  const ServiceConfig config{"rulosrv", "Agent\nExecStartPre=/bin/evil 100%", 0xF01FF, 0x110, 2, 1,
                             "\"/opt/a\nExecStartPre=/bin/evil\" \x7F\t$x"};
  const std::string text = posix::unitFileText(config);
  unsetenv("RULOSRV_TRACE_DIR");
  EXPECT_EQ(text,
            "[Unit]\nDescription=Agent ExecStartPre=/bin/evil 100%%\n\n[Service]\nType=notify\n"
            "Environment=\"RULOSRV_TRACE_DIR=/t\\x0d\\x0a[Service]\"\n"
            "ExecStart=\"/opt/a\\x0aExecStartPre=/bin/evil\" \"\\x7f\" \"$$x\"\n\n[Install]\nWantedBy=multi-user.target\n");
}

TEST_F(PosixServiceManager, StartAndQueryGoThroughSystemctl) {
  writeFile(dir_ + "/units/rulosrv.service", "");
  const Handle manager = platform_.openServiceManager();
  const Handle service = platform_.openService(manager, "rulosrv", 0xF01FF);
  ASSERT_NE(service, 0u);

  writeFile(dir_ + "/show", "ActiveState=inactive\nStatusText=\nExecMainStatus=0\n");
  EXPECT_TRUE(platform_.startService(service));
  EXPECT_NE(readFile(dir_ + "/calls").find("start --no-block rulosrv.service"), std::string::npos);

  writeFile(dir_ + "/show",
            "ActiveState=activating\nStatusText=Start pending (check point 2, wait hint 3000 ms)\nExecMainStatus=0\n");
  EXPECT_FALSE(platform_.startService(service));
  EXPECT_EQ(platform_.lastError(), posix::kErrorServiceAlreadyRunning);
  ServiceStatus status;
  ASSERT_TRUE(platform_.queryServiceStatus(service, status));
  EXPECT_EQ(status.currentState, 2u);
  EXPECT_EQ(status.checkPoint, 2u);
  EXPECT_EQ(status.waitHint, 3000u);

  writeFile(dir_ + "/show", "ActiveState=failed\nStatusText=\nExecMainStatus=3\n");
  ASSERT_TRUE(platform_.queryServiceStatus(service, status));
  EXPECT_EQ(status.currentState, 1u);
  EXPECT_EQ(status.win32ExitCode, 3u);
}

// What systemctl says when it fails is what a person needs to see: the
// error code alone reads as a device error.
TEST_F(PosixServiceManager, AFailingSystemctlLeavesItsCommandExitStatusAndMessages) {
  writeFile(dir_ + "/units/rulosrv.service", "");
  const Handle manager = platform_.openServiceManager();
  const Handle service = platform_.openService(manager, "rulosrv", 0xF01FF);
  ASSERT_NE(service, 0u);
  writeFile(dir_ + "/bin/systemctl",
            "#!/bin/sh\necho \"Failed to $1 rulosrv.service: Access denied\" >&2\necho 'See the logs' >&2\n"
            "[ \"$1\" = show ] && exit 1\nexit 4\n");

  EXPECT_FALSE(platform_.startService(service));
  EXPECT_EQ(platform_.lastError(), posix::kErrorIoDevice);
  EXPECT_EQ(platform_.failureDetail(),
            "systemctl start --no-block rulosrv.service ended with exit status 4:\n"
            "Failed to start rulosrv.service: Access denied\nSee the logs\n");
  ServiceStatus status;
  EXPECT_FALSE(platform_.queryServiceStatus(service, status));
  EXPECT_EQ(platform_.failureDetail(),
            "systemctl show -p ActiveState,StatusText,ExecMainStatus rulosrv.service ended with exit status 1:\n"
            "Failed to show rulosrv.service: Access denied\nSee the logs\n");

  writeFile(dir_ + "/bin/systemctl", "#!/bin/sh\nexit 0\n");
  EXPECT_TRUE(platform_.queryServiceStatus(service, status));
  EXPECT_EQ(platform_.failureDetail(), "");

  fs::remove(dir_ + "/bin/systemctl");
  setenv("PATH", (dir_ + "/bin").c_str(), 1);
  EXPECT_FALSE(platform_.startService(service));
  EXPECT_EQ(platform_.lastError(), 2u);
  EXPECT_EQ(platform_.failureDetail(), "systemctl start --no-block rulosrv.service cannot be run: No such file or directory");
}

}  // namespace
