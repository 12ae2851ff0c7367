#include "service/CollectionRun.h"

#include <new>
#include <string>

#include "service/Collector.h"
#include "service/Config.h"
#include "service/DebugTrace.h"
#include "service/EventLog.h"
#include "service/Paths.h"
#include "service/Publish.h"
#include "service/RunFailure.h"
#include "service/ServiceStatus.h"
#include "service/TextBuffers.h"
#include "service/UniqueFiles.h"

namespace rulo {

namespace {

constexpr DWORD kRetryPauseMs = 300000;  // 5 minutes
constexpr int kRetryWarningsBeforeSilence = 20;

// Raised when a stop request ends one of the run's waits: the run publishes
// nothing and reports that it was stopped.
struct RunStopped {};

// Waits, unless a stop request ends the wait (or came before it).
void WaitUnlessStopped(DWORD milliseconds) {
  if (currentPlatform().waitForStop(milliseconds)) throw RunStopped();
}

// One prepared call of the collector, the same for every attempt.
struct CollectorCall {
  std::string strInvPath;
  std::string strInvDir;
  std::string strInvLog;
  std::string strInvParameters;
  DWORD dwTimeout;
  DWORD dwStartDelay;
};

std::string ExecutedCommand(const CollectorCall& call) {
  return "The executed command is " + call.strInvPath + " " + call.strInvParameters;
}

// The partial or fatal report, with the collector's log as raw data.
void ReportWithLog(const CollectorCall& call, WORD type, const std::string& heading, const char* withoutMemoryText) {
  const std::vector<char> log = ReadCollectorLog(call.strInvLog);
  std::string text;
  try {
    text = FitText(heading + ExecutedCommand(call), kReportBufferSize);
  } catch (const std::bad_alloc&) {
    ReportServiceEvent(withoutMemoryText, type);
    return;
  }
  ReportServiceEvent(text, type, log);
}

// After the 21st result 3 has announced the silence, the routine entries of
// further attempts (retry warnings and delay notices) are left out; the run's
// outcome is still reported.
bool Silenced(int retryCount) { return retryCount > kRetryWarningsBeforeSilence; }

// One warning per result 3 up to the 20th; the 21st announces the silence.
void ReportRetry(int retryCount) {
  const std::string count = "(" + std::to_string(retryCount) + ")";
  if (!Silenced(retryCount))
    ReportServiceEvent(count + "Another copy of the Korvex Inventory Collector is activating, will retry after 5 mintues",
                       EventWarning);
  else if (retryCount == kRetryWarningsBeforeSilence + 1)
    ReportServiceEvent(count +
                           "Another copy of the Korvex Inventory Collector is activating. Korvex Quorvane Inventory "
                           "Service will not generate event log anymore, but will continue to retry after 5 mintues",
                       EventWarning);
}

void DelayStart(DWORD dwStartDelay, bool silenced) {
  if (dwStartDelay == 0) return;
  if (!silenced)
    ReportServiceEvent("Delay " + SignedText(dwStartDelay / 1000) + " second(s) to start Korvex Inventory Collector",
                       EventSuccess);
  WaitUnlessStopped(dwStartDelay);
}

// Acts on a final result of the collector: returns the outcome when its
// output is to be published, fails the run otherwise.
RunOutcome HandleResult(const CollectorCall& call, DWORD result) {
  switch (result) {
    case CollectorSucceeded:
      WriteDebugTrace("Inventory Collection completed");
      return RunOutcome::Published;
    case CollectorPartlyFailed:
      ReportWithLog(call, EventWarning, "Korvex Inventory Collector is partially failed (1).\n",
                    "Korvex Inventory Collector is partially failed, but cannot allocate memory to dump execution log.");
      return RunOutcome::PublishedPartly;
    case CollectorFailed:
      ReportWithLog(call, EventError, "Korvex Inventory Collector encountered a fatal failed (2).\n",
                    "Korvex Inventory Collector encountered a fatal failure, but cannot allocate memory to dump "
                    "execution log.");
      throw RunFailure("Fail to execute Korvex Inventory Collector.");
    default:
      throw RunFailure(FitText("Fail to execute Korvex Inventory Collector (errorcode = " + SignedText(result) +
                                   ").\nstrInvPath=" + call.strInvPath + ", strInvParameters=" + call.strInvParameters,
                               kPathBufferSize));
  }
}

// Launches the collector until it gives a result other than "another copy running".
RunOutcome RunCollector(const CollectorCall& call) {
  for (int retryCount = 0;;) {
    DelayStart(call.dwStartDelay, Silenced(retryCount));
    const DWORD result = LaunchCollector(call.strInvPath, false, call.strInvParameters, call.strInvDir, call.dwTimeout);
    if (result != CollectorAlreadyRunning) return HandleResult(call, result);
    ReportRetry(++retryCount);
    WaitUnlessStopped(kRetryPauseMs);
  }
}

std::string CreateCollectorOutput(const std::string& strInvDir) {
  const auto path = currentPlatform().createUniqueFile(strInvDir, "rulo");
  if (!path)
    throw RunFailure(
        FitText("Cannot create Korvex Inventory Collector output file in " + strInvDir, kMessageBufferSize));
  return *path;
}

// Everything between reading the configuration and publishing. strInvOutput
// names the collector output file once it has been created.
RunOutcome CollectAndPublish(std::string& strInvOutput) {
  const RunConfig config = ReadRunConfig();
  if (!currentPlatform().pathExists(config.strInvPath))
    throw RunFailure(
        FitText("Cannot file Korvex Inventory Collector Utility (" + config.strInvPath + ")", kMessageBufferSize));

  CollectorCall call{config.strInvPath, ContainingDirectory(config.strInvPath),
                     SiblingPath(config.strInvPath, "lastrun.log"), std::string(), config.dwTimeout,
                     config.dwStartDelay};
  strInvOutput = CreateCollectorOutput(call.strInvDir);
  call.strInvParameters = CollectorParameters(call.strInvPath, strInvOutput, call.strInvLog);
  WriteDebugTrace(call.strInvParameters);

  const RunOutcome outcome = RunCollector(call);
  std::vector<std::string> newest = {strInvOutput};
  if (const auto setAside = PublishInventoryData(strInvOutput, config.strDataFile)) newest.push_back(*setAside);
  RemoveOlderUniqueFiles(newest, config.strDataFile);
  return outcome;
}

// Called inside a catch block: the event for the failure in flight.
void ReportRunFailure() {
  try {
    throw;
  } catch (const RunFailure& failure) {
    currentPlatform().setLastError(failure.lastError());
    ReportServiceEvent(failure.what(), EventError);
    if (!failure.detail().empty()) ReportEventDetail(failure.detail());
  } catch (...) {
    Platform& platform = currentPlatform();
    const DWORD code = platform.lastError();
    ReportServiceEvent(FitText("Error (" + SignedText(code) + "): " + platform.errorText(code), kMessageBufferSize),
                       EventError);
  }
}

void RemoveCollectorOutput(const std::string& strInvOutput) {
  Platform& platform = currentPlatform();
  if (strInvOutput.empty() || !platform.pathExists(strInvOutput)) return;
  platform.setNormalAttributes(strInvOutput);
  platform.deleteFile(strInvOutput);
}

}  // namespace

RunOutcome CollectInventory() {
  std::string strInvOutput;
  try {
    return CollectAndPublish(strInvOutput);
  } catch (const RunStopped&) {
    ReportServiceEvent("Korvex Quorvane Inventory Service is stopped on request; the inventory data is not updated",
                       EventInformation);
  } catch (...) {
    ReportRunFailure();
  }
  RemoveCollectorOutput(strInvOutput);
  return RunOutcome::NotPublished;
}

void RunInventoryCollection() {
  if (!ReportStatusToSCMgr(StateStartPending, 0, 3000)) {
    ReportServiceEvent("SERVICE_START_PENDING...reporting to SCM failed", EventError);
    return;
  }
  if (!ReportStatusToSCMgr(StateRunning, 0, 0)) {
    ReportServiceEvent("SERVICE_RUNNING...reporting to SCM failed", EventError);
    return;
  }
  CollectInventory();
  if (!ReportStatusToSCMgr(StateStopped, 0, 3000))
    ReportServiceEvent("SERVICE_STOPPED...reporting to SCM failed", EventError);
}

int RunCollectionFromConsole() {
  const ConsoleEventEcho echo;
  return static_cast<int>(CollectInventory());
}

}  // namespace rulo
