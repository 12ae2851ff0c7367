#pragma once
// The service's one status record and its reports to the service control
// manager. The service thread and the control dispatcher's thread both
// report; each report is made whole under one lock, so every record sent is
// consistent and check points go out in order.

#include <mutex>

#include "service/platform/Platform.h"

namespace rulo {

// The service states the service reports.
enum ServiceState : DWORD { StateStopped = 1, StateStartPending = 2, StateStopPending = 3, StateRunning = 4 };

constexpr DWORD kServiceWin32OwnProcess = 0x10;
constexpr DWORD kServiceControlStop = 1;

class StatusReporter {
 public:
  // Takes the status handle the handler registration gave, and sets the
  // record's service type and service-specific exit code.
  void attach(Handle statusHandle);

  // Stores state, exit code and wait hint, sets the check point and sends the
  // record; true when the platform accepted it.
  bool report(DWORD state, DWORD exitCode, DWORD waitHint);

  // Answers a control: stop pending for a stop, else the current state again.
  // A service that has reported stopped stays stopped.
  bool answerControl(DWORD control);

 private:
  bool send(DWORD state, DWORD exitCode, DWORD waitHint);  // with mutex_ held

  std::mutex mutex_;
  ServiceStatus status_;
  Handle statusHandle_ = 0;
  DWORD checkPoint_ = 1;  // starts at 1 with the program, never reset
};

// The record of this process.
StatusReporter& ServiceStatusReporter();

// Reports a state of the service; writes an error event when the platform
// refuses it.
bool ReportStatusToSCMgr(DWORD dwCurrentState, DWORD dwWin32ExitCode, DWORD dwWaitHint);

// The control handler registered for the service: it reports, and passes a
// stop request on to the run's waits.
void ServiceCtrlHandler(DWORD dwControl);

}  // namespace rulo
