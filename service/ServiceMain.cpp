#include "service/ServiceMain.h"

#include "service/CollectionRun.h"
#include "service/EventLog.h"
#include "service/ServiceIdentity.h"
#include "service/ServiceStatus.h"

namespace rulo {

void ServiceMain(DWORD, char**) {
  const Handle statusHandle = currentPlatform().registerServiceCtrlHandler(kServiceName, ServiceCtrlHandler);
  if (!statusHandle) {
    ReportServiceEvent("RegisterServiceCtrlHandler failed.", EventError);
    return;
  }
  ServiceStatusReporter().attach(statusHandle);
  if (!ReportStatusToSCMgr(StateStartPending, 0, 3000)) ReportServiceEvent("ReportStatusToSCMgr failed.", EventError);
  RunInventoryCollection();
}

}  // namespace rulo
