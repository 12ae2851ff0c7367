#include "service/platform/posix/ServiceStatusText.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace rulo::posix {

namespace {

enum State : DWORD { kStopped = 1, kStartPending = 2, kStopPending = 3, kRunning = 4 };

constexpr DWORD kServiceWin32OwnProcess = 0x10;

const char* stateName(DWORD state) {
  static const char* const names[] = {"Unknown state",    "Stopped",       "Start pending", "Stop pending",
                                      "Running",          "Continue pending", "Pause pending", "Paused"};
  return state < sizeof names / sizeof names[0] ? names[state] : names[0];
}

DWORD stateOf(const std::string& activeState) {
  if (activeState == "active" || activeState == "reloading") return kRunning;
  if (activeState == "activating") return kStartPending;
  if (activeState == "deactivating") return kStopPending;
  return kStopped;
}

}  // namespace

std::string notifyMessage(const ServiceStatus& status) {
  std::ostringstream out;
  if (status.currentState == kRunning) out << "READY=1\n";
  if (status.currentState == kStopPending || status.currentState == kStopped) out << "STOPPING=1\n";
  out << "STATUS=" << stateName(status.currentState) << " (check point " << status.checkPoint << ", wait hint "
      << status.waitHint << " ms)\n"
      << "RULO_SERVICE_TYPE=" << status.serviceType << "\n"
      << "RULO_STATE=" << status.currentState << "\n"
      << "RULO_CONTROLS_ACCEPTED=" << status.controlsAccepted << "\n"
      << "RULO_WIN32_EXIT_CODE=" << status.win32ExitCode << "\n"
      << "RULO_SERVICE_EXIT_CODE=" << status.serviceSpecificExitCode << "\n"
      << "RULO_CHECK_POINT=" << status.checkPoint << "\n"
      << "RULO_WAIT_HINT=" << status.waitHint;
  return out.str();
}

ServiceStatus statusFromShow(const std::string& output) {
  ServiceStatus status;
  status.serviceType = kServiceWin32OwnProcess;
  status.currentState = kStopped;
  std::istringstream in(output);
  std::string line;
  while (std::getline(in, line)) {
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string name = line.substr(0, equals);
    const std::string value = line.substr(equals + 1);
    if (name == "ActiveState") {
      status.currentState = stateOf(value);
    } else if (name == "ExecMainStatus") {
      status.win32ExitCode = static_cast<DWORD>(std::strtoul(value.c_str(), nullptr, 10));
    } else if (name == "StatusText") {
      const std::size_t details = value.find("(check point ");
      unsigned checkPoint = 0;
      unsigned waitHint = 0;
      if (details != std::string::npos &&
          std::sscanf(value.c_str() + details, "(check point %u, wait hint %u ms)", &checkPoint, &waitHint) == 2) {
        status.checkPoint = checkPoint;
        status.waitHint = waitHint;
      }
    }
  }
  return status;
}

}  // namespace rulo::posix
