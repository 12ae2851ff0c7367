#include "service/CommandLine.h"

#include <string>

#include "common/text/AsciiCase.h"
#include "service/CollectionRun.h"
#include "service/EventLog.h"
#include "service/ServiceControl.h"
#include "service/ServiceIdentity.h"
#include "service/ServiceMain.h"
#include "service/platform/Platform.h"

namespace rulo {

namespace {

// The keyword of an option ("-" or "/" and a word), lower-cased; empty for
// anything else.
std::string OptionKeyword(const std::string& argument) {
  if (argument.empty() || (argument[0] != '-' && argument[0] != '/')) return std::string();
  return qrv::text::toLowerAscii(argument.substr(1));
}

void PrintUsage() {
  Platform& platform = currentPlatform();
  for (const char* line : {"Korvex Quorvane Inventory Agent Service", "", "rulosrv.exe [option]", "option:",
                           "\t-install: install the service", "\t-start: start the service",
                           "\t-remove:  remove the service", "\t-help:    this help",
                           "\t-run:     run one collection now, as the service would, with its events on the console",
                           "note: if no option is provided, it will start the service by default"})
    platform.writeStdout(std::string(line) + "\n");
}

// An argument that is no option is most likely a misspelt one. The service
// manager passes none, so it is only said to a person at a console.
void WarnOfUnknownOption(const std::string& argument) {
  Platform& platform = currentPlatform();
  if (!platform.isConsole()) return;
  platform.writeStderr(std::string(kServiceName) + ": unknown option \"" + argument + "\"; \"" + kServiceName +
                       " -help\" lists the options\n");
}

// Hands the main thread to the control dispatcher until the service has stopped.
void RunAsService() {
  if (!currentPlatform().startServiceCtrlDispatcher(kServiceName, ServiceMain))
    ReportServiceEvent("StartServiceCtrlDispatcher failed.", EventError);
}

}  // namespace

int RunRulosrv(int argc, char** argv) {
  const std::string keyword = argc > 1 ? OptionKeyword(argv[1]) : std::string();
  if (keyword == "install") {
    return InstallService() ? 0 : 1;
  } else if (keyword == "remove") {
    return RemoveService() ? 0 : 1;
  } else if (keyword == "help") {
    PrintUsage();
  } else if (keyword == "start") {
    return StartServiceFromConsole();
  } else if (keyword == "run") {
    return RunCollectionFromConsole();
  } else {
    if (argc > 1) WarnOfUnknownOption(argv[1]);
    RunAsService();
  }
  return 0;
}

}  // namespace rulo
