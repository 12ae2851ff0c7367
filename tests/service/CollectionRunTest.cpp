#include "service/CollectionRun.h"

#include "service/EventLog.h"
#include "service/Paths.h"
#include "tests/service/RunFixture.h"

namespace rulo::test {
namespace {

using CollectionRunTest = RunTest;

const std::string kFatalFailure = "Fail to execute Korvex Inventory Collector.";

std::string ExecutionFailure(const std::string& code) {
  return ("Fail to execute Korvex Inventory Collector (errorcode = " + code + ").\nstrInvPath=" + kCollector +
          ", strInvParameters=" + kParameters)
      .substr(0, 259);
}

TEST_F(CollectionRunTest, SuccessLaunchesQuotedCollectorAndPublishes) {
  fake.addFile(kDataFile, "old");
  fake.scriptCollector({0, "<new/>", std::nullopt});
  RunInventoryCollection();

  ASSERT_EQ(fake.launches().size(), 1u);
  const RecordedLaunch launch = fake.launches()[0];
  EXPECT_EQ(launch.application, kCollector);
  EXPECT_EQ(launch.commandLine, "\"" + kCollector + "\" " + kParameters);
  EXPECT_EQ(launch.directory, kInvDir);
  EXPECT_FALSE(launch.show);
  EXPECT_EQ(launch.timeout, 0xFFFFFFFFu);
  EXPECT_EQ(fake.traceLines(), (std::vector<std::string>{kParameters, "Inventory Collection completed"}));

  EXPECT_EQ(fake.file(kDataFile), "<new/>");
  EXPECT_EQ(fake.file("C:\\data\\rul3.TMP"), "old") << "the previous data file is kept aside";
  EXPECT_EQ(fake.filesIn(kDataDir).size(), 2u);
  EXPECT_EQ(fake.file(kOutput), "<new/>") << "the collector output stays after success";
  EXPECT_EQ(fake.eventTexts(), std::vector<std::string>{kPublished});
  EXPECT_EQ(fake.events()[0].type, EventSuccess);

  const auto reports = fake.statusReports();
  ASSERT_EQ(reports.size(), 3u);
  EXPECT_EQ(reports[0].currentState, 2u);
  EXPECT_EQ(reports[0].waitHint, 3000u);
  EXPECT_EQ(reports[1].currentState, 4u);
  EXPECT_EQ(reports[1].checkPoint, 0u);
  EXPECT_EQ(reports[2].currentState, 1u);
  EXPECT_EQ(reports[2].waitHint, 3000u);
  EXPECT_EQ(reports[2].win32ExitCode, 0u);
  EXPECT_EQ(fake.openHandles(), 0);
}

TEST_F(CollectionRunTest, FirstPublishHasNothingToSetAsideAndLaterOnesKeepOnlyTheNewestCopies) {
  RunInventoryCollection();
  EXPECT_EQ(fake.filesIn(kDataDir), std::vector<std::string>{kDataFile});
  for (const char* run : {"<2/>", "<3/>", "<4/>"}) {
    fake.scriptCollector({0, run, std::nullopt});
    RunInventoryCollection();
  }
  const auto data = fake.filesIn(kDataDir);
  ASSERT_EQ(data.size(), 2u) << "the data file and the newest set-aside copy";
  EXPECT_EQ(fake.file(data[0] == kDataFile ? data[1] : data[0]), "<3/>");
  const auto collector = fake.filesIn(kInvDir);
  ASSERT_EQ(collector.size(), 2u) << "the collector and its newest output";
  EXPECT_EQ(fake.file(collector[0] == kCollector ? collector[1] : collector[0]), "<4/>");
}

TEST_F(CollectionRunTest, CleanupTouchesOnlyOlderUniqueFilesInItsTwoFolders) {
  const std::vector<std::string> others = {kInvDir + "\\lastrun.log", kInvDir + "\\rul.TMP", kInvDir + "\\rulG1.TMP",
                                           kInvDir + "\\rul12345.TMP", kInvDir + "\\rul1.txt", kDataDir + "\\abc1.TMP",
                                           "C:\\elsewhere\\rul7.TMP"};
  for (const std::string& path : others) fake.addFile(path, "keep");
  fake.addFile(kInvDir + "\\rulFFFF.TMP", "old output");
  fake.addFile(kInvDir + "\\rul10.tmp", "old output");
  fake.addFile(kDataDir + "\\RULAB.TMP", "old copy");
  fake.addFile(kDataFile, "previous");
  fake.scriptCollector({1, "<partial/>", std::nullopt});
  RunInventoryCollection();
  for (const std::string& path : others) EXPECT_EQ(fake.file(path), "keep") << path;
  EXPECT_FALSE(fake.file(kInvDir + "\\rulFFFF.TMP"));
  EXPECT_FALSE(fake.file(kInvDir + "\\rul10.tmp"));
  EXPECT_FALSE(fake.file(kDataDir + "\\RULAB.TMP"));
  EXPECT_EQ(fake.file(kOutput), "<partial/>");
  EXPECT_EQ(fake.file("C:\\data\\rul3.TMP"), "previous");
  EXPECT_EQ(fake.eventTexts().back(), kPublished);
}

TEST_F(CollectionRunTest, AFailedRunOrOneWithoutASetAsideCopyLeavesTheDataFolderAlone) {
  fake.addFile(kDataDir + "\\rul99.TMP", "older copy");
  fake.addFile(kInvDir + "\\rul98.TMP", "older output");
  fake.scriptCollector({2, "", std::nullopt});
  RunInventoryCollection();
  EXPECT_TRUE(fake.file(kInvDir + "\\rul98.TMP")) << "nothing is cleaned after a failure";

  RunInventoryCollection();  // the first publish: nothing was set aside
  EXPECT_EQ(fake.file(kDataDir + "\\rul99.TMP"), "older copy");
  EXPECT_FALSE(fake.file(kInvDir + "\\rul98.TMP"));

  auto local = freshRun();  // folders that cannot be listed are left as they are
  local->addFile(kInvDir + "\\rul98.TMP");
  local->fail(Op::listFiles);
  RunInventoryCollection();
  EXPECT_TRUE(local->file(kInvDir + "\\rul98.TMP"));
  EXPECT_EQ(local->eventTexts(), std::vector<std::string>{kPublished});
}

TEST_F(CollectionRunTest, CollectorAndDataInOneFolderKeepTheNewestOfEach) {
  fake.setRegistryText(kConfigKeyPath, "invoutputfile", kInvDir + "\\rul5.TMP");  // a data file named like one
  fake.addFile(kInvDir + "\\rul5.TMP", "previous");
  fake.addFile(kInvDir + "\\rul99.TMP", "older");
  RunInventoryCollection();
  const auto files = fake.filesIn(kInvDir);
  EXPECT_EQ(files.size(), 4u) << "collector, data file, newest output, newest set-aside copy";
  EXPECT_FALSE(fake.file(kInvDir + "\\rul99.TMP"));
  EXPECT_TRUE(fake.file(kInvDir + "\\rul5.TMP"));
  EXPECT_TRUE(fake.file(kOutput));
}

TEST_F(CollectionRunTest, TimeoutInSecondsOrWithoutLimit) {
  const std::vector<std::pair<std::optional<DWORD>, DWORD>> cases = {
      {30, 30000}, {0, 0xFFFFFFFF}, {std::nullopt, 0xFFFFFFFF}, {5000000, 0xFFFFFFFF}};
  for (const auto& [seconds, expected] : cases) {
    auto local = freshRun();
    if (seconds) local->setRegistryDword(kConfigKeyPath, "invtimeout", *seconds);
    RunInventoryCollection();
    EXPECT_EQ(local->launches().at(0).timeout, expected);
  }
}

TEST_F(CollectionRunTest, WronglyTypedNumberIsIgnored) {
  fake.setRegistryText(kConfigKeyPath, "invtimeout", "30");
  fake.setRegistryText(kConfigKeyPath, "startdelaysecond", "30");
  RunInventoryCollection();
  EXPECT_EQ(fake.launches().at(0).timeout, 0xFFFFFFFFu);
  EXPECT_TRUE(fake.sleeps().empty());
}

TEST_F(CollectionRunTest, PartialFailureWarnsWithTheLogThenPublishes) {
  const std::vector<std::optional<std::string>> logs = {std::string("log\0bytes", 9), std::string(), std::nullopt};
  for (const auto& log : logs) {
    auto local = freshRun();
    local->scriptCollector({1, "<partial/>", log});
    RunInventoryCollection();
    const auto events = local->events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].type, EventWarning);
    EXPECT_EQ(events[0].text, "Korvex Inventory Collector is partially failed (1).\nThe executed command is " +
                                  kCollector + " " + kParameters);
    const std::string bytes = log.value_or("");
    EXPECT_EQ(events[0].rawData, std::vector<char>(bytes.begin(), bytes.end()));
    EXPECT_EQ(events[1].text, kPublished);
    EXPECT_EQ(local->file(kDataFile), "<partial/>");
    EXPECT_EQ(local->traceLines(), std::vector<std::string>{kParameters});
  }
}

TEST_F(CollectionRunTest, LogTooLargeToHoldGivesWarningWithoutData) {
  fake.scriptCollector({1, "<partial/>", std::string("log")});
  fake.fail(Op::readFile).throwing();
  RunInventoryCollection();
  EXPECT_TRUE(fake.events().at(0).rawData.empty());
  EXPECT_EQ(fake.events().at(1).text, kPublished);
}

TEST_F(CollectionRunTest, FatalFailureReportsTheLogAndPublishesNothing) {
  fake.addFile(kDataFile, "old");
  fake.scriptCollector({2, "<broken/>", std::string("fatal")});
  RunInventoryCollection();
  const auto events = fake.events();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].type, EventError);
  EXPECT_EQ(events[0].text, "Korvex Inventory Collector encountered a fatal failed (2).\nThe executed command is " +
                                kCollector + " " + kParameters);
  EXPECT_EQ(events[0].rawData, (std::vector<char>{'f', 'a', 't', 'a', 'l'}));
  EXPECT_EQ(events[1].text, kFatalFailure);
  EXPECT_EQ(fake.file(kDataFile), "old");
  EXPECT_FALSE(fake.file(kOutput)) << "the collector output is deleted";
  EXPECT_EQ(lastReportedState(), 1u);
}

TEST_F(CollectionRunTest, OtherResultsFailTheRun) {
  for (const auto& [exitCode, text] : std::vector<std::pair<DWORD, std::string>>{
           {4, "4"}, {259, "259"}, {0xFFFFFFFF, "-1"}}) {
    auto local = freshRun();
    local->scriptCollector({exitCode, "<x/>", std::nullopt});
    RunInventoryCollection();
    EXPECT_EQ(local->eventTexts(), std::vector<std::string>{ExecutionFailure(text)});
    EXPECT_FALSE(local->file(kOutput));
    EXPECT_FALSE(local->file(kDataFile));
    EXPECT_EQ(local->statusReports().back().currentState, 1u);
  }
}

TEST_F(CollectionRunTest, CollectorThatCannotStartFailsOnceWithItsErrorAndIsNotRetried) {
  // Error codes that an exit code of the same value would read as fatal, another copy running or partial.
  for (const DWORD error : {2u, 3u, 1u, 193u}) {
    SCOPED_TRACE(error);
    auto local = freshRun();
    local->addFile(kDataFile, "old");
    local->setErrorText(3, "The system cannot find the path specified.\r\n");
    local->fail(Op::createProcess).withError(error);
    RunInventoryCollection();
    EXPECT_EQ(local->launches().size(), 1u);
    const auto events = local->events();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].type, EventError);
    EXPECT_EQ(events[0].errorText.rfind("rulosrv error (" + std::to_string(error) + "): ", 0), 0u);
    const std::string text = error == 3 ? "The system cannot find the path specified." : "";
    EXPECT_EQ(events[0].text, "Fail to start Korvex Inventory Collector (error " + std::to_string(error) + ": " +
                                  text + ").\nstrInvPath=" + kCollector);
    EXPECT_EQ(local->file(kDataFile), "old");
    EXPECT_FALSE(local->file(kOutput));
    EXPECT_TRUE(local->sleeps().empty());
    EXPECT_EQ(local->statusReports().back().currentState, 1u);
  }
}

TEST_F(CollectionRunTest, UnreadableExitCodeReportsAndUsesTheLastError) {
  fake.fail(Op::processExitCode).withError(6);
  RunInventoryCollection();
  EXPECT_EQ(fake.eventTexts(),
            (std::vector<std::string>{"Process could not exit successfully.", ExecutionFailure("6")}));
  EXPECT_EQ(fake.openHandles(), 0) << "the process handle is closed";
}

TEST_F(CollectionRunTest, RetriesEveryFiveMinutesAfterTheStartDelayAndFallsSilentAfterTheAnnouncement) {
  fake.setRegistryDword(kConfigKeyPath, "startdelaysecond", 30);
  for (int i = 0; i < 22; ++i) fake.scriptCollector({3, "", std::nullopt});
  RunInventoryCollection();

  const auto launches = fake.launches();
  ASSERT_EQ(launches.size(), 23u);
  for (const RecordedLaunch& launch : launches) EXPECT_EQ(launch.commandLine, launches[0].commandLine);

  std::vector<DWORD> expectedSleeps = {30000};
  for (int i = 0; i < 22; ++i) expectedSleeps.insert(expectedSleeps.end(), {300000, 30000});
  EXPECT_EQ(fake.sleeps(), expectedSleeps);

  const auto warnings = textsOf(EventWarning);
  ASSERT_EQ(warnings.size(), 21u);
  EXPECT_EQ(warnings[0], "(1)Another copy of the Korvex Inventory Collector is activating, will retry after 5 mintues");
  EXPECT_EQ(warnings[19],
            "(20)Another copy of the Korvex Inventory Collector is activating, will retry after 5 mintues");
  EXPECT_EQ(warnings[20],
            "(21)Another copy of the Korvex Inventory Collector is activating. Korvex Quorvane Inventory Service will "
            "not generate event log anymore, but will continue to retry after 5 mintues");

  const auto notices = textsOf(EventSuccess);
  ASSERT_EQ(notices.size(), 22u) << "no delay notices after the announcement";
  EXPECT_EQ(notices[0], "Delay 30 second(s) to start Korvex Inventory Collector");
  EXPECT_EQ(notices.back(), kPublished);
}

TEST_F(CollectionRunTest, PaddingMarkerPutsThePaddingInFront) {
  struct Case {
    bool marker;
    std::optional<std::string> padding;
    std::string expected;
  };
  for (const Case& c : std::vector<Case>{{false, "pad", kParameters},
                                         {true, "pad", "pad " + kParameters},
                                         {true, std::nullopt, " " + kParameters}}) {
    auto local = freshRun();
    if (c.marker) local->addPaddingMarker(kCollector);
    if (c.padding) local->setRegistryText(kConfigKeyPath, "Padding", *c.padding);
    RunInventoryCollection();
    EXPECT_EQ(local->traceLines().at(0), c.expected);
    EXPECT_EQ(local->launches().at(0).commandLine, "\"" + kCollector + "\" " + c.expected);
  }
}

TEST_F(CollectionRunTest, BadConfigurationFailsBeforeAnyLaunch) {
  const std::string utility = "Missing registry key value for Korvex Inventory Collector utility";
  struct Case {
    std::function<void(FakePlatform&)> change;
    std::string text;
  };
  const std::vector<Case> cases = {
      {[](FakePlatform& f) { f.fail(Op::readRegistryValue).where("invexecdir"); }, utility},
      {[](FakePlatform& f) { f.setRegistryText(kConfigKeyPath, "invexecdir", ""); }, utility},
      {[](FakePlatform& f) { f.setRegistryDword(kConfigKeyPath, "invexecdir", 7); }, utility},
      {[](FakePlatform& f) { f.setRegistryText(kConfigKeyPath, "invoutputfile", ""); },
       "Missing registry key value for Korvex Inventory Collector result"},
      {[](FakePlatform& f) { f.setRegistryText(kConfigKeyPath, "invexecdir", std::string(300, 'x')); },
       "Registry key value invexecdir is longer than 259 characters"},
      {[](FakePlatform& f) { f.setRegistryBytes(kConfigKeyPath, "invoutputfile", RegSz, std::vector<char>(260, 'x')); },
       "Registry key value invoutputfile is longer than 259 characters"},
      {[](FakePlatform& f) {
         f.addFile(kInvDir + " \"x\"\\collector.exe");
         f.setRegistryText(kConfigKeyPath, "invexecdir", kInvDir + " \"x\"\\collector.exe");
       },
       "Registry key value invexecdir holds a double quote: " + kInvDir + " \"x\"\\collector.exe"},
      {[](FakePlatform& f) { f.setRegistryText(kConfigKeyPath, "invexecdir", "C:\\none.exe"); },
       "Cannot file Korvex Inventory Collector Utility (C:\\none.exe)"},
      {[](FakePlatform& f) { f.fail(Op::createUniqueFile); },
       "Cannot create Korvex Inventory Collector output file in " + kInvDir},
  };
  for (const Case& c : cases) {
    auto local = freshRun();
    c.change(*local);
    RunInventoryCollection();
    EXPECT_EQ(local->eventTexts(), std::vector<std::string>{c.text});
    EXPECT_TRUE(local->launches().empty());
    EXPECT_EQ(local->filesIn(kInvDir), std::vector<std::string>{kCollector}) << "no collector output left";
    EXPECT_EQ(local->statusReports().back().currentState, 1u);
  }
}

// A service starts in the system folder: a relative path would name a file
// there, so both paths must be full ones, from a drive's root or UNC.
TEST_F(CollectionRunTest, RelativePathsAreRefusedBeforeAnyLaunch) {
  for (const std::string relative : {"collector.exe", "inv\\collector.exe", "C:collector.exe", "\\inv\\collector.exe",
                                      "/inv/collector.exe", "..\\inv\\collector.exe", "\\\\\\srv\\c.exe"}) {
    for (const std::string value : {"invexecdir", "invoutputfile"}) {
      SCOPED_TRACE(value + "=" + relative);
      auto local = freshRun();
      local->addFile(relative, "binary");
      local->setRegistryText(kConfigKeyPath, value, relative);
      local->setErrorText(123, "The filename, directory name, or volume label syntax is incorrect.");
      RunInventoryCollection();
      ASSERT_EQ(local->events().size(), 1u);
      EXPECT_EQ(local->events()[0].text, "Registry key value " + value + " is not a full path: " + relative);
      EXPECT_EQ(local->events()[0].errorText,
                "rulosrv error (123): The filename, directory name, or volume label syntax is incorrect.");
      EXPECT_TRUE(local->launches().empty());
      EXPECT_EQ(local->statusReports().back().currentState, 1u);
    }
  }
  for (const std::string full : {"C:/inv/collector.exe", "c:\\collector.exe", "\\\\srv\\share\\collector.exe",
                                  "//srv/share/collector.exe"}) {
    SCOPED_TRACE(full);
    auto local = freshRun();
    local->addFile(full, "binary");
    local->setRegistryText(kConfigKeyPath, "invexecdir", full);
    RunInventoryCollection();
    EXPECT_EQ(local->launches().size(), 1u);
  }
}

// The events of a missing value keep their fixed text; whoever runs the
// service by hand also learns what the value is and why it could not be read.
TEST_F(CollectionRunTest, AMissingValueIsExplainedInTheTraceAndOnTheConsoleOnly) {
  const std::string utility = "Missing registry key value for Korvex Inventory Collector utility";
  const std::string result = "Missing registry key value for Korvex Inventory Collector result";
  const std::string collector = "Registry key value invexecdir, the full path of the inventory collector, ";
  const std::string data = "Registry key value invoutputfile, the full path of the inventory data file, ";
  struct Case {
    std::function<void(FakePlatform&)> change;
    std::string event, errorText, detail;
  };
  const std::vector<Case> cases = {
      {[](FakePlatform& f) { f.deleteRegistryValue(kConfigKeyPath, "invexecdir"); }, utility, "rulosrv error (2): ",
       collector + "cannot be read: the fake registry gave no value \"invexecdir\" of " + kConfigKeyPath},
      {[](FakePlatform& f) { f.deleteRegistryValue(kConfigKeyPath, "invoutputfile"); }, result, "rulosrv error (2): ",
       data + "cannot be read: the fake registry gave no value \"invoutputfile\" of " + kConfigKeyPath},
      {[](FakePlatform& f) { f.fail(Op::readRegistryValue).where("invexecdir").withError(1009); }, utility,
       "rulosrv error (1009): ",
       collector + "cannot be read: the fake registry gave no value \"invexecdir\" of " + kConfigKeyPath},
      {[](FakePlatform& f) { f.setRegistryText(kConfigKeyPath, "invexecdir", ""); }, utility, "rulosrv error (0): ",
       collector + "is empty or not text"},
      {[](FakePlatform& f) { f.setRegistryDword(kConfigKeyPath, "invoutputfile", 7); }, result, "rulosrv error (0): ",
       data + "is empty or not text"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.detail);
    auto local = freshRun();
    c.change(*local);
    EXPECT_EQ(RunCollectionFromConsole(), 2);
    ASSERT_EQ(local->events().size(), 1u);
    EXPECT_EQ(local->events()[0].text, c.event);
    EXPECT_EQ(local->events()[0].errorText, c.errorText);
    EXPECT_EQ(local->traceLines(), std::vector<std::string>{c.detail});
    EXPECT_EQ(local->out(), "rulosrv: error: " + c.event + "\n  " + c.errorText + "\n  " + c.detail + "\n");

    auto service = freshRun();
    c.change(*service);
    RunInventoryCollection();
    EXPECT_EQ(service->traceLines(), std::vector<std::string>{c.detail});
    EXPECT_EQ(service->out(), "") << "the service has no console";
  }
}

TEST_F(CollectionRunTest, OverlongArgumentsOrCommandLineFailTheRun) {
  const std::string longDir = "C:\\" + std::string(200, 'd');
  const std::string longName = "C:\\i\\" + std::string(215, 'n') + ".exe";  // fits; its command line does not
  for (const std::string& collector : {longDir + "\\c.exe", longName}) {
    auto local = freshRun();
    local->addFile(collector);
    local->setRegistryText(kConfigKeyPath, "invexecdir", collector);
    RunInventoryCollection();
    ASSERT_EQ(local->events().size(), 1u);
    EXPECT_EQ(local->events()[0].text.rfind("Korvex Inventory Collector ", 0), 0u);
    EXPECT_NE(local->events()[0].text.find("longer than 259 characters"), std::string::npos);
    EXPECT_TRUE(local->launches().empty());
    EXPECT_EQ(local->filesIn(ContainingDirectory(collector)).size(), 1u) << "only the collector is left";
  }
}

TEST_F(CollectionRunTest, StatusReportFailuresEndTheRunWhereTheySay) {
  struct Case {
    int failingReport;
    std::string text;
    bool launched;
  };
  for (const Case& c : std::vector<Case>{{1, "SERVICE_START_PENDING...reporting to SCM failed", false},
                                         {2, "SERVICE_RUNNING...reporting to SCM failed", false},
                                         {3, "SERVICE_STOPPED...reporting to SCM failed", true}}) {
    auto local = freshRun();
    local->fail(Op::setServiceStatus).onCall(c.failingReport);
    RunInventoryCollection();
    const auto texts = local->eventTexts();
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts[texts.size() - 2], "SetServiceStatus reporting failed");
    EXPECT_EQ(texts.back(), c.text);
    EXPECT_EQ(local->launches().size(), c.launched ? 1u : 0u);
    EXPECT_EQ(local->statusReports().size(), static_cast<std::size_t>(c.failingReport));
  }
}

// The console run: the same collection without status reports, each event on
// standard output too, and the outcome as the exit code.
TEST_F(CollectionRunTest, ConsoleRunCollectsAsTheServiceDoesAndEchoesEvents) {
  struct Case {
    CollectorRun collector;
    int exitCode;
    std::string data;
    std::string out;
  };
  const std::string command = "The executed command is " + kCollector + " " + kParameters;
  for (const Case& c : std::vector<Case>{
           {{0, "<new/>", std::nullopt}, 0, "<new/>", "rulosrv: success: " + kPublished + "\n"},
           {{1, "<part/>", std::string("lshw: command not found\nwritten without it\n")},
            1,
            "<part/>",
            "rulosrv: warning: Korvex Inventory Collector is partially failed (1).\n" + command +
                "\n  lshw: command not found\n  written without it\nrulosrv: success: " + kPublished + "\n"},
           {{2, "<bad/>", std::nullopt},
            2,
            "old",
            "rulosrv: error: Korvex Inventory Collector encountered a fatal failed (2).\n" + command +
                "\n  rulosrv error (0): \nrulosrv: error: Fail to execute Korvex Inventory Collector.\n"
                "  rulosrv error (0): \n"}}) {
    SCOPED_TRACE(c.exitCode);
    auto local = freshRun();
    local->addFile(kDataFile, "old");
    local->scriptCollector(c.collector);
    EXPECT_EQ(RunCollectionFromConsole(), c.exitCode);
    EXPECT_EQ(local->file(kDataFile), c.data);
    EXPECT_EQ(local->out(), c.out);
    EXPECT_TRUE(local->statusReports().empty()) << "no service manager to report to";
    EXPECT_EQ(local->launches().size(), 1u);
  }
}

TEST_F(CollectionRunTest, ConsoleRunFailsWithoutConfigurationAndStopsEchoingAfterwards) {
  auto local = freshRun();
  local->setRegistryText(kConfigKeyPath, "invexecdir", "");
  EXPECT_EQ(RunCollectionFromConsole(), 2);
  EXPECT_EQ(local->out().rfind("rulosrv: error: Missing registry key value for Korvex Inventory Collector utility\n", 0),
            0u);
  const std::string before = local->out();
  ReportServiceEvent("later", EventInformation);
  EXPECT_EQ(local->out(), before) << "only events of the console run are echoed";
}

}  // namespace
}  // namespace rulo::test
