#pragma once
// The service entry that the control dispatcher runs on the service thread.

#include "service/platform/Platform.h"

namespace rulo {

// Registers the control handler, reports start pending and runs the
// collection run once. The arguments are not used.
void ServiceMain(DWORD dwArgc, char** lpszArgv);

}  // namespace rulo
