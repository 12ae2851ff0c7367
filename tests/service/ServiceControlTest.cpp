#include <thread>

#include "service/CommandLine.h"
#include "service/EventLog.h"
#include "service/ServiceControl.h"
#include "service/ServiceStatus.h"
#include "tests/service/RunFixture.h"

namespace rulo::test {
namespace {

const std::string kUsage =
    "Korvex Quorvane Inventory Agent Service\n\nrulosrv.exe [option]\noption:\n\t-install: install the service\n"
    "\t-start: start the service\n\t-remove:  remove the service\n\t-help:    this help\n"
    "\t-run:     run one collection now, as the service would, with its events on the console\n"
    "note: if no option is provided, it will start the service by default\n";

ServiceStatus Status(DWORD state, DWORD checkPoint = 0, DWORD waitHint = 0) {
  ServiceStatus status;
  status.currentState = state;
  status.checkPoint = checkPoint;
  status.waitHint = waitHint;
  return status;
}

int RunProgram(std::vector<std::string> arguments) {
  std::vector<char*> argv = {const_cast<char*>("rulosrv")};
  for (std::string& argument : arguments) argv.push_back(argument.data());
  return RunRulosrv(static_cast<int>(argv.size()), argv.data());
}

class ServiceControlTest : public RunTest {
 protected:
  ServiceControlTest() { fake.setModuleFileName(std::string("C:\\svc\\rulosrv.exe")); }
};

TEST_F(ServiceControlTest, OnlyWholeKeywordsAfterASignAreOptions) {
  enum Action { Install, Remove, Help, Start, Service };
  const std::vector<std::pair<std::vector<std::string>, Action>> cases = {
      {{"-install"}, Install}, {{"/INSTALL"}, Install}, {{"-Install", "-remove"}, Install},
      {{"/remove"}, Remove},   {{"-REMOVE"}, Remove},   {{"-help"}, Help},
      {{"/Help"}, Help},       {{"-start"}, Start},     {{"/START"}, Start},
      {{"-inst"}, Service},    {{"install"}, Service},  {{"-"}, Service},
      {{"-helpme"}, Service},  {{}, Service},           {{"start", "-start"}, Service}};
  for (const auto& [arguments, action] : cases) {
    SCOPED_TRACE(arguments.empty() ? std::string("(none)") : arguments[0]);
    FakePlatform local;
    const PlatformScope installed(local);
    local.setModuleFileName(std::string("C:\\svc\\rulosrv.exe"));
    local.addService("other");
    if (action == Remove) local.addService("rulosrv", Status(StateStopped));
    if (action == Start) local.addService("rulosrv", Status(StateRunning));
    local.fail(Op::startServiceCtrlDispatcher);
    EXPECT_EQ(RunProgram(arguments), 0);
    EXPECT_EQ(local.service("rulosrv").has_value(), action == Install || action == Start);
    EXPECT_EQ(local.out() == kUsage, action == Help);
    EXPECT_EQ(local.out() == "Service start pending...\nService start SUCCESS.\n", action == Start);
    EXPECT_EQ(local.eventTexts() == std::vector<std::string>{"StartServiceCtrlDispatcher failed."}, action == Service);
  }
}

// A misspelt option still runs the program as the service, as every unknown
// option does; a person at a console is also told which option was not known.
TEST_F(ServiceControlTest, UnknownOptionIsNamedOnStandardErrorOnlyAtAConsole) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--help"}, "rulosrv: unknown option \"--help\"; \"rulosrv -help\" lists the options\n"},
      {{"-instal", "-install"}, "rulosrv: unknown option \"-instal\"; \"rulosrv -help\" lists the options\n"},
      {{"--run"}, "rulosrv: unknown option \"--run\"; \"rulosrv -help\" lists the options\n"},
      {{"help"}, "rulosrv: unknown option \"help\"; \"rulosrv -help\" lists the options\n"},
      {{}, ""},
      {{"-HELP"}, ""}};
  for (const auto& [arguments, warning] : cases) {
    for (const bool console : {true, false}) {
      SCOPED_TRACE((arguments.empty() ? std::string("(none)") : arguments[0]) + (console ? " at a console" : ""));
      FakePlatform local;
      const PlatformScope installed(local);
      local.setConsole(console);
      local.fail(Op::startServiceCtrlDispatcher);
      EXPECT_EQ(RunProgram(arguments), 0);
      EXPECT_EQ(local.err(), console ? warning : "");
      EXPECT_EQ(local.out().empty(), arguments != std::vector<std::string>{"-HELP"});
      EXPECT_EQ(local.eventTexts().size(), arguments == std::vector<std::string>{"-HELP"} ? 0u : 1u);
    }
  }
}

TEST_F(ServiceControlTest, InstallCreatesTheServiceWithItsPathQuoted) {
  EXPECT_EQ(RunProgram({"-install"}), 0);
  const auto config = fake.service("rulosrv");
  ASSERT_TRUE(config);
  EXPECT_EQ(config->displayName, "KSM CM Inventory Agent");
  EXPECT_EQ(config->binaryPath, "\"C:\\svc\\rulosrv.exe\"");
  EXPECT_EQ(config->serviceType, 0x110u);
  EXPECT_EQ(config->startType, 2u);
  EXPECT_EQ(config->errorControl, 1u);
  EXPECT_EQ(config->desiredAccess, 0xF01FFu);
  EXPECT_EQ(fake.eventTexts(), std::vector<std::string>{"rulosrv is installed"});
  EXPECT_EQ(fake.events()[0].type, EventInformation);
  EXPECT_EQ(fake.out(), "rulosrv is installed\n");
  EXPECT_EQ(fake.openHandles(), 0);
}

TEST_F(ServiceControlTest, InstallingTwiceOnlyRefreshesTheEventSource) {
  const std::string key = "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\rulosrv";
  RunProgram({"-install"});
  fake.setRegistryText(key, "EventMessageFile", "changed");
  EXPECT_EQ(RunProgram({"-install"}), 0);
  EXPECT_EQ(fake.eventTexts().size(), 1u);
  EXPECT_EQ(fake.out(), "rulosrv is installed\n") << "the second install prints nothing";
  const auto bytes = fake.registryKey(key).at("EventMessageFile").bytes;
  EXPECT_EQ(std::string(bytes.data()), "C:\\svc\\rulosrv.DLL");
  EXPECT_EQ(fake.openHandles(), 0);
}

TEST_F(ServiceControlTest, InstallFailuresAreReportedWithTheLastErrorAndPrintedAndExitNonZero) {
  struct Case {
    std::function<void(FakePlatform&)> change;
    std::string text;
    std::string errorText;
  };
  const std::vector<Case> cases = {
      {[](FakePlatform& f) { f.fail(Op::moduleFileName).withError(122); }, "GetModuleFileName failed ",
       "rulosrv error (122): "},
      {[](FakePlatform& f) { f.setModuleFileName("C:\\" + std::string(257, 'x')); }, "GetModuleFileName failed ",
       "rulosrv error (0): "},
      {[](FakePlatform& f) { f.fail(Op::openServiceManager); }, "rulosrv installation is failed at OpenSCManager()",
       "rulosrv error (5): Access is denied.\r\n"},
      {[](FakePlatform& f) { f.setModuleFileName(std::string("C:\\svc \"a\"\\rulosrv.exe")); },
       "rulosrv installation is failed: the program path holds a double quote: C:\\svc \"a\"\\rulosrv.exe",
       "rulosrv error (123): "},
      {[](FakePlatform& f) { f.fail(Op::createService).withError(1072); },
       "rulosrv installation is failed at CreateServic()", "rulosrv error (1072): "}};
  for (const Case& c : cases) {
    FakePlatform local;
    const PlatformScope installed(local);
    local.setModuleFileName(std::string("C:\\svc\\rulosrv.exe"));
    local.setErrorText(5, "Access is denied.\r\n");
    c.change(local);
    EXPECT_EQ(RunProgram({"-install"}), 1);
    EXPECT_EQ(local.eventTexts(), std::vector<std::string>{c.text});
    EXPECT_EQ(local.events()[0].errorText, c.errorText);
    const std::string printedError = c.errorText.substr(0, c.errorText.find_last_not_of(" \r\n") + 1);
    EXPECT_EQ(local.out(), c.text + "\n" + printedError + "\n") << "the error text without its line break";
    EXPECT_FALSE(local.service("rulosrv"));
    EXPECT_EQ(local.openHandles(), 0);
  }
}

TEST(EventMessageFileTest, ExtensionIsUpperCasedAndExeBecomesDll) {
  EXPECT_EQ(EventMessageFile("C:\\svc\\rulosrv.exe"), "C:\\svc\\rulosrv.DLL");
  EXPECT_EQ(EventMessageFile("C:\\svc\\rulosrv.bin"), "C:\\svc\\rulosrv.BIN");
  EXPECT_EQ(EventMessageFile("/opt/svc/rulosrv"), "/opt/svc/rulosrv");
  EXPECT_EQ(EventMessageFile("C:\\svc.d\\rulosrv"), "C:\\svc.d\\rulosrv");
}

TEST_F(ServiceControlTest, RemoveWaitsForAStopByOthersThenDeletes) {
  struct Case {
    ServiceStatus status;
    bool queryFails;
    std::vector<DWORD> sleeps;
  };
  std::vector<DWORD> longest(60, 10000);
  longest.push_back(5000);
  for (const Case& c : std::vector<Case>{
           {Status(StateRunning), false, longest}, {Status(StateStopped), false, {5000}}, {{}, true, {}}}) {
    FakePlatform local;
    const PlatformScope installed(local);
    local.addService("rulosrv", c.status);
    if (c.queryFails) local.fail(Op::queryServiceStatus);
    EXPECT_EQ(RunProgram({"-remove"}), 0);
    EXPECT_EQ(local.sleeps(), c.sleeps);
    EXPECT_FALSE(local.service("rulosrv"));
    EXPECT_EQ(local.eventTexts(), std::vector<std::string>{"Service (rulosrv) is removed"});
    EXPECT_EQ(local.out(), "Service (rulosrv) is removed\n");
    EXPECT_EQ(local.events()[0].type, EventSuccess);
    EXPECT_EQ(local.openHandles(), 0);
  }
}

TEST_F(ServiceControlTest, RemoveFailuresAreReported) {
  const std::vector<std::pair<Op, std::string>> cases = {
      {Op::openServiceManager, "Service (rulosrv) failed to removed, OpenSCManager() failed "},
      {Op::openService, "Service (rulosrv) failed to removed, OpenService() failed "},
      {Op::deleteService, "Service (rulosrv) could not be removed"}};
  for (const auto& [op, text] : cases) {
    FakePlatform local;
    const PlatformScope installed(local);
    local.addService("rulosrv", Status(StateStopped));
    local.fail(op).withError(1060);
    local.setErrorText(1060, "The specified service does not exist as an installed service.");
    EXPECT_EQ(RunProgram({"-remove"}), 1);
    EXPECT_EQ(local.eventTexts(), std::vector<std::string>{text});
    EXPECT_EQ(local.events()[0].type, EventError);
    EXPECT_EQ(local.out(),
              text + "\nrulosrv error (1060): The specified service does not exist as an installed service.\n");
    EXPECT_EQ(local.openHandles(), 0);
  }
}

TEST_F(ServiceControlTest, StartWaitsWhileCheckPointsGrow) {
  fake.addService("rulosrv");
  fake.scriptServiceStatuses("rulosrv", {Status(StateStartPending, 1, 3000), Status(StateStartPending, 2, 3000),
                                         Status(StateRunning)});
  EXPECT_EQ(RunProgram({"-start"}), 0);
  EXPECT_EQ(fake.out(), "Service start pending...\nService start SUCCESS.\n");
  EXPECT_EQ(fake.sleeps(), (std::vector<DWORD>{1000, 1000}));
  EXPECT_EQ(fake.openHandles(), 0);
}

TEST_F(ServiceControlTest, StartStuckWithoutProgressGivesUpAfterTheWaitHint) {
  fake.addService("rulosrv");
  ServiceStatus stuck = Status(StateStartPending, 1, 3000);
  stuck.win32ExitCode = 1066;
  fake.scriptServiceStatuses("rulosrv", {stuck});
  EXPECT_EQ(StartServiceFromConsole(), 2);
  EXPECT_EQ(fake.sleeps().size(), 4u);
  EXPECT_EQ(fake.out(),
            "Service start pending...\n\nService cannot be started. \n  Current State: 2\n  Exit Code: 1066\n"
            "  Service Specific Exit Code: 0\n  Check Point: 1\n  Wait Hint: 3000\n");
}

// -start keeps its exit codes, and says what failed, why and what to check:
// the service manager's own message where the platform has one.
TEST_F(ServiceControlTest, StartRefusedOrUnknownServiceSaysWhyAndWhatToCheck) {
  const std::string check =
      "  Check that the service manager runs, that this account may start services, and that rulosrv is installed "
      "(rulosrv -install) and stopped.\n";
  const std::string systemctl = "systemctl start rulosrv.service ended with exit status 1:\nAccess denied\n";
  struct Case {
    std::function<void(FakePlatform&)> change;
    int exitCode;
    std::string out;
  };
  const std::vector<Case> cases = {
      {[](FakePlatform& f) { f.fail(Op::openServiceManager).withError(5); }, 4,
       "Service (rulosrv) cannot be started, as the service manager cannot be opened:\n"
       "  rulosrv error (5): Access is denied.\n" + check},
      {[](FakePlatform&) {}, 4,
       "Service (rulosrv) cannot be opened:\n  rulosrv error (1060): The specified service does not exist as an "
       "installed service.\n" + check},
      {[](FakePlatform& f) {
         f.addService("rulosrv", Status(StateRunning));
         f.fail(Op::startService).withError(1056);
       },
       2,
       "Service (rulosrv) cannot be started:\n  rulosrv error (1056): An instance of the service is already "
       "running.\n" + check},
      {[&](FakePlatform& f) {
         f.addService("rulosrv");
         f.fail(Op::startService).withError(1117);
         f.setServiceManagerMessage(systemctl);
       },
       2, "Service (rulosrv) cannot be started:\n  systemctl start rulosrv.service ended with exit status 1:\n"
          "  Access denied\n" + check},
      {[&](FakePlatform& f) {
         f.addService("rulosrv");
         f.fail(Op::queryServiceStatus).withError(1117);
         f.setServiceManagerMessage("systemctl show ended with exit status 1");
       },
       2, "Service start pending...\nService (rulosrv) status cannot be read:\n  systemctl show ended with exit "
          "status 1\n" + check},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.out);
    FakePlatform local;
    const PlatformScope installed(local);
    local.setErrorText(5, "Access is denied.\r\n");
    local.setErrorText(1056, "An instance of the service is already running.\r\n");
    local.setErrorText(1060, "The specified service does not exist as an installed service.\r\n");
    c.change(local);
    EXPECT_EQ(StartServiceFromConsole(), c.exitCode);
    EXPECT_EQ(local.out(), c.out);
    EXPECT_EQ(local.openHandles(), 0);
  }
}

TEST_F(ServiceControlTest, ServiceStartReportsInOrder) {
  EXPECT_EQ(RunProgram({}), 0);
  const auto reports = fake.statusReports();
  ASSERT_EQ(reports.size(), 4u);
  const std::vector<std::pair<DWORD, DWORD>> stateAndHint = {{2, 3000}, {2, 3000}, {4, 0}, {1, 3000}};
  for (std::size_t i = 0; i < reports.size(); ++i) {
    EXPECT_EQ(reports[i].serviceType, 0x10u);
    EXPECT_EQ(reports[i].currentState, stateAndHint[i].first);
    EXPECT_EQ(reports[i].waitHint, stateAndHint[i].second);
    EXPECT_EQ(reports[i].controlsAccepted, i < 2 ? 0u : 5u);
  }
  EXPECT_GE(reports[0].checkPoint, 1u);
  EXPECT_EQ(reports[1].checkPoint, reports[0].checkPoint + 1);
  EXPECT_EQ(reports[2].checkPoint, 0u);
  EXPECT_EQ(reports[3].checkPoint, 0u);
  EXPECT_EQ(fake.eventTexts(), std::vector<std::string>{kPublished});
}

TEST(StatusReporterTest, CheckPointsStartAtOneAndControlsOnlyReport) {
  FakePlatform fake;
  const PlatformScope installed(fake);
  StatusReporter reporter;
  reporter.attach(1);
  reporter.report(StateStartPending, 0, 3000);
  reporter.report(StateStartPending, 0, 3000);
  reporter.report(StateRunning, 0, 0);
  reporter.answerControl(4);  // interrogate
  reporter.answerControl(kServiceControlStop);
  reporter.answerControl(4);
  reporter.report(StateStopped, 0, 3000);
  reporter.answerControl(kServiceControlStop);
  const std::vector<std::pair<DWORD, DWORD>> expected = {{2, 1}, {2, 2}, {4, 0}, {4, 0},
                                                         {3, 3}, {3, 4}, {1, 0}, {1, 0}};
  const auto reports = fake.statusReports();
  ASSERT_EQ(reports.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(reports[i].currentState, expected[i].first) << i;
    EXPECT_EQ(reports[i].checkPoint, expected[i].second) << i;
  }
}

TEST_F(ServiceControlTest, StopDuringTheRunIsReportedButDoesNotInterruptIt) {
  fake.onWaitForProcess = [this] { std::thread([this] { fake.handler()(kServiceControlStop); }).join(); };
  RunProgram({});
  const auto reports = fake.statusReports();
  ASSERT_EQ(reports.size(), 5u);
  EXPECT_EQ(reports[3].currentState, 3u);
  EXPECT_EQ(reports[3].checkPoint, reports[1].checkPoint + 1);
  EXPECT_EQ(reports[3].waitHint, 0u);
  EXPECT_EQ(reports[4].currentState, 1u);
  EXPECT_EQ(fake.eventTexts(), std::vector<std::string>{kPublished});
}

// A stop request sent from another thread, as the control dispatcher sends it,
// during the wait of the given length.
void StopDuringWait(FakePlatform& platform, DWORD waitMs) {
  platform.onWaitForStop = [&platform, waitMs](DWORD ms) {
    if (ms == waitMs) std::thread([&platform] { platform.handler()(kServiceControlStop); }).join();
  };
}

const std::string kStoppedText = "Korvex Quorvane Inventory Service is stopped on request; the inventory data is not updated";

// The end of a run that a stop ended: the stopped notice, stop pending, then stopped.
void ExpectStoppedRun(const FakePlatform& platform) {
  const auto events = platform.events();
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back().text, kStoppedText);
  EXPECT_EQ(events.back().type, EventInformation);
  const auto reports = platform.statusReports();
  ASSERT_GE(reports.size(), 2u);
  EXPECT_EQ(reports[reports.size() - 2].currentState, StateStopPending);
  EXPECT_EQ(reports.back().currentState, StateStopped);
  EXPECT_EQ(platform.file(kDataFile), "old") << "nothing new is published";
  EXPECT_FALSE(platform.file(kOutput)) << "the collector output is removed";
}

TEST_F(ServiceControlTest, StopDuringTheStartDelayEndsItBeforeAnyLaunch) {
  fake.addFile(kDataFile, "old");
  fake.setRegistryDword(kConfigKeyPath, "startdelaysecond", 30);
  StopDuringWait(fake, 30000);
  RunProgram({});
  EXPECT_TRUE(fake.launches().empty());
  EXPECT_EQ(fake.eventTexts(),
            (std::vector<std::string>{"Delay 30 second(s) to start Korvex Inventory Collector", kStoppedText}));
  ExpectStoppedRun(fake);
}

TEST_F(ServiceControlTest, StopDuringTheRetryPauseEndsTheRetries) {
  fake.addFile(kDataFile, "old");
  fake.scriptCollector({3, "", std::nullopt});
  StopDuringWait(fake, 300000);
  RunProgram({});
  EXPECT_EQ(fake.launches().size(), 1u);
  EXPECT_EQ(fake.eventTexts().size(), 2u) << "the retry warning and the stopped notice";
  ExpectStoppedRun(fake);
}

TEST_F(ServiceControlTest, StopWhileTheCollectorRunsEndsTheNextWaitAtOnce) {
  fake.addFile(kDataFile, "old");
  fake.setRegistryDword(kConfigKeyPath, "startdelaysecond", 30);
  fake.scriptCollector({3, "", std::nullopt});
  fake.onWaitForProcess = [this] { std::thread([this] { fake.handler()(kServiceControlStop); }).join(); };
  RunProgram({});
  EXPECT_EQ(fake.launches().size(), 1u);
  EXPECT_EQ(fake.tickCount(), 30000u) << "only the first start delay passed";
  ExpectStoppedRun(fake);
}

TEST_F(ServiceControlTest, ServiceEntryFailures) {
  fake.fail(Op::registerServiceCtrlHandler);
  RunProgram({});
  EXPECT_EQ(fake.eventTexts(), std::vector<std::string>{"RegisterServiceCtrlHandler failed."});
  EXPECT_TRUE(fake.statusReports().empty());

  auto local = freshRun();
  local->fail(Op::setServiceStatus).onCall(1);
  RunProgram({});
  const auto texts = local->eventTexts();
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0], "SetServiceStatus reporting failed");
  EXPECT_EQ(texts[1], "ReportStatusToSCMgr failed.");
  EXPECT_EQ(texts[2], kPublished) << "the run goes on";
}

TEST_F(ServiceControlTest, ConcurrentReportsEachSendAConsistentRecord) {
  StatusReporter reporter;
  auto hammer = [&reporter](DWORD state) {
    for (int i = 0; i < 200; ++i) reporter.report(state, 0, state * 1000);
  };
  std::thread pending(hammer, StateStartPending);
  std::thread running(hammer, StateRunning);
  for (int i = 0; i < 200; ++i) reporter.answerControl(i % 2 ? kServiceControlStop : 4);
  pending.join();
  running.join();
  DWORD lastCheckPoint = 0;
  for (const ServiceStatus& status : fake.statusReports()) {
    EXPECT_EQ(status.controlsAccepted, status.currentState == StateStartPending ? 0u : 5u);
    if (status.currentState == StateRunning) {
      EXPECT_EQ(status.checkPoint, 0u);
      continue;
    }
    EXPECT_GT(status.checkPoint, lastCheckPoint) << "check points go out in order";
    lastCheckPoint = status.checkPoint;
  }
}

}  // namespace
}  // namespace rulo::test
