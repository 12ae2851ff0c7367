#include "service/ServiceControl.h"

#include <algorithm>

#include "common/text/AsciiCase.h"
#include "service/EventLog.h"
#include "service/Paths.h"
#include "service/ScopedHandle.h"
#include "service/ServiceIdentity.h"
#include "service/ServiceStatus.h"
#include "service/TextBuffers.h"

namespace rulo {

namespace {

constexpr DWORD kGenericRead = 0x80000000;
constexpr DWORD kServiceAllAccess = 0xF01FF;
constexpr DWORD kServiceInteractiveOwnProcess = 0x110;
constexpr DWORD kServiceAutoStart = 2;
constexpr DWORD kServiceErrorNormal = 1;

constexpr int kRemoveWaits = 60;
constexpr DWORD kRemoveWaitMs = 10000;
constexpr DWORD kRemoveSettleMs = 5000;

std::string ServiceText(const std::string& before, const std::string& after) {
  return FitText(before + kServiceName + after, kMessageBufferSize);
}

// An error text for the console: system texts end in a line break.
std::string WithoutLineEnd(std::string text) {
  text.erase(text.find_last_not_of(" \r\n") + 1);
  return text;
}

// Writes an outcome of install or remove as an event and prints it with the
// event's error text, so that the console shows it too; true for success.
bool ReportOutcome(Platform& platform, const std::string& text, WORD type) {
  const std::string errorText = WithoutLineEnd(ReportServiceEvent(text, type));
  platform.writeStdout(text + "\n" + (errorText.empty() ? "" : errorText + "\n"));
  return type != EventError;
}

// Why a call of -start failed: what the platform can tell of it (the
// service manager's own message), else the last error with its text.
std::string StartFailureCause(Platform& platform) {
  const std::string detail = platform.failureDetail();
  return detail.empty() ? WithoutLineEnd(LastErrorText()) : WithoutLineEnd(detail);
}

// The lines of text, each indented under a heading.
std::string Indented(const std::string& text) {
  std::string lines = "  ";
  for (const char c : text) lines += c == '\n' ? std::string("\n  ") : std::string(1, c);
  return lines + "\n";
}

// Ends -start with exitCode after saying on the console what failed, why,
// and what to check.
int GiveUpStart(Platform& platform, const std::string& failed, const std::string& cause, int exitCode) {
  platform.writeStdout(ServiceText("Service (", ") " + failed + ":\n") + Indented(cause) +
                       ServiceText("  Check that the service manager runs, that this account may start services, "
                                   "and that ",
                                   " is installed (" + std::string(kServiceName) + " -install) and stopped.\n"));
  return exitCode;
}

ServiceConfig ServiceIdentity(const std::string& programPath) {
  ServiceConfig config;
  config.serviceName = kServiceName;
  config.displayName = kDisplayName;
  config.desiredAccess = kServiceAllAccess;
  config.serviceType = kServiceInteractiveOwnProcess;
  config.startType = kServiceAutoStart;
  config.errorControl = kServiceErrorNormal;
  config.binaryPath = "\"" + programPath + "\"";  // quoted, so a path with blanks names this program only
  return config;
}

// Waits until the service is stopped or the waits are used up; never asks it to stop.
void WaitForStop(Platform& platform, Handle service) {
  for (int waits = 0;; ++waits) {
    ServiceStatus status;
    if (!platform.queryServiceStatus(service, status)) return;
    if (status.currentState == StateStopped || waits == kRemoveWaits) {
      platform.sleep(kRemoveSettleMs);
      return;
    }
    platform.sleep(kRemoveWaitMs);
  }
}

// Waits while the service is start pending and its check point keeps growing
// within its wait hints; status holds the last state read.
void WaitWhileStartPending(Platform& platform, Handle service, ServiceStatus& status) {
  DWORD startTick = platform.tickCount();
  DWORD oldCheckPoint = status.checkPoint;
  while (status.currentState == StateStartPending) {
    platform.sleep(std::clamp<DWORD>(status.waitHint / 10, 1000, 10000));
    ServiceStatus next;
    if (!platform.queryServiceStatus(service, next)) return;
    status = next;
    if (status.checkPoint > oldCheckPoint) {
      startTick = platform.tickCount();
      oldCheckPoint = status.checkPoint;
    } else if (platform.tickCount() - startTick > status.waitHint) {
      return;
    }
  }
}

void PrintStartFailure(Platform& platform, const ServiceStatus& status) {
  platform.writeStdout("\nService cannot be started. \n");
  platform.writeStdout("  Current State: " + SignedText(status.currentState) + "\n");
  platform.writeStdout("  Exit Code: " + SignedText(status.win32ExitCode) + "\n");
  platform.writeStdout("  Service Specific Exit Code: " + SignedText(status.serviceSpecificExitCode) + "\n");
  platform.writeStdout("  Check Point: " + SignedText(status.checkPoint) + "\n");
  platform.writeStdout("  Wait Hint: " + SignedText(status.waitHint) + "\n");
}

}  // namespace

std::string EventMessageFile(const std::string& programPath) {
  const std::size_t dot = programPath.find_last_of('.');
  const std::size_t separator = programPath.find_last_of("\\/");
  if (dot == std::string::npos || (separator != std::string::npos && dot < separator)) return programPath;
  const std::string extension = qrv::text::toUpperAscii(programPath.substr(dot));
  return programPath.substr(0, dot) + (extension == ".EXE" ? ".DLL" : extension);
}

bool InstallService() {
  Platform& platform = currentPlatform();
  const auto programPath = platform.moduleFileName();
  if (!programPath || !FitsBuffer(*programPath, kPathBufferSize))
    return ReportOutcome(platform, "GetModuleFileName failed ", EventError);
  if (HoldsDoubleQuote(*programPath)) {
    platform.setLastError(kErrorInvalidName);
    return ReportOutcome(
        platform, ServiceText("", " installation is failed: the program path holds a double quote: " + *programPath),
        EventError);
  }
  AddEventSource(kServiceName, EventMessageFile(*programPath), 1);

  ScopedHandle manager(platform, platform.openServiceManager(), CloseScmHandle);
  if (!manager)
    return ReportOutcome(platform, ServiceText("", " installation is failed at OpenSCManager()"), EventError);
  ScopedHandle existing(platform, platform.openService(manager.get(), kServiceName, kGenericRead), CloseScmHandle);
  if (existing) return true;
  ScopedHandle created(platform, platform.createService(manager.get(), ServiceIdentity(*programPath)), CloseScmHandle);
  if (created) return ReportOutcome(platform, ServiceText("", " is installed"), EventInformation);
  return ReportOutcome(platform, ServiceText("", " installation is failed at CreateServic()"), EventError);
}

bool RemoveService() {
  Platform& platform = currentPlatform();
  ScopedHandle manager(platform, platform.openServiceManager(), CloseScmHandle);
  if (!manager)
    return ReportOutcome(platform, ServiceText("Service (", ") failed to removed, OpenSCManager() failed "),
                         EventError);
  ScopedHandle service(platform, platform.openService(manager.get(), kServiceName, kServiceAllAccess), CloseScmHandle);
  if (!service)
    return ReportOutcome(platform, ServiceText("Service (", ") failed to removed, OpenService() failed "), EventError);
  WaitForStop(platform, service.get());
  if (platform.deleteService(service.get()))
    return ReportOutcome(platform, ServiceText("Service (", ") is removed"), EventSuccess);
  return ReportOutcome(platform, ServiceText("Service (", ") could not be removed"), EventError);
}

int StartServiceFromConsole() {
  Platform& platform = currentPlatform();
  ScopedHandle manager(platform, platform.openServiceManager(), CloseScmHandle);
  if (!manager) return GiveUpStart(platform, "cannot be started, as the service manager cannot be opened",
                                   WithoutLineEnd(LastErrorText()), 4);
  ScopedHandle service(platform, platform.openService(manager.get(), kServiceName, kServiceAllAccess), CloseScmHandle);
  if (!service) return GiveUpStart(platform, "cannot be opened", WithoutLineEnd(LastErrorText()), 4);
  if (!platform.startService(service.get()))
    return GiveUpStart(platform, "cannot be started", StartFailureCause(platform), 2);
  platform.writeStdout("Service start pending...\n");

  ServiceStatus status;
  if (!platform.queryServiceStatus(service.get(), status))
    return GiveUpStart(platform, "status cannot be read", StartFailureCause(platform), 2);
  WaitWhileStartPending(platform, service.get(), status);
  if (status.currentState == StateRunning) {
    platform.writeStdout("Service start SUCCESS.\n");
    return 0;
  }
  PrintStartFailure(platform, status);
  return 2;
}

}  // namespace rulo
