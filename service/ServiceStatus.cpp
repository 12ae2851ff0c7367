#include "service/ServiceStatus.h"

#include "service/EventLog.h"

namespace rulo {

namespace {

constexpr DWORD kAcceptStopAndShutdown = 5;

bool Reported(bool accepted) {
  if (!accepted) ReportServiceEvent("SetServiceStatus reporting failed", EventError);
  return accepted;
}

}  // namespace

void StatusReporter::attach(Handle statusHandle) {
  std::lock_guard<std::mutex> lock(mutex_);
  statusHandle_ = statusHandle;
  status_.serviceType = kServiceWin32OwnProcess;
  status_.serviceSpecificExitCode = 0;
}

bool StatusReporter::report(DWORD state, DWORD exitCode, DWORD waitHint) {
  bool accepted;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    accepted = send(state, exitCode, waitHint);
  }
  return Reported(accepted);
}

bool StatusReporter::answerControl(DWORD control) {
  bool accepted;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    const bool stopping = control == kServiceControlStop && status_.currentState != StateStopped;
    accepted = send(stopping ? StateStopPending : status_.currentState, 0, 0);
  }
  return Reported(accepted);
}

bool StatusReporter::send(DWORD state, DWORD exitCode, DWORD waitHint) {
  status_.controlsAccepted = state == StateStartPending ? 0 : kAcceptStopAndShutdown;
  status_.currentState = state;
  status_.win32ExitCode = exitCode;
  status_.waitHint = waitHint;
  status_.checkPoint = (state == StateRunning || state == StateStopped) ? 0 : checkPoint_++;
  return currentPlatform().setServiceStatus(statusHandle_, status_);
}

StatusReporter& ServiceStatusReporter() {
  static StatusReporter reporter;
  return reporter;
}

bool ReportStatusToSCMgr(DWORD dwCurrentState, DWORD dwWin32ExitCode, DWORD dwWaitHint) {
  return ServiceStatusReporter().report(dwCurrentState, dwWin32ExitCode, dwWaitHint);
}

void ServiceCtrlHandler(DWORD dwControl) {
  ServiceStatusReporter().answerControl(dwControl);
  // After the stop pending report, so that the run's stopped report follows it.
  if (dwControl == kServiceControlStop) currentPlatform().signalStop();
}

}  // namespace rulo
