#pragma once
// The calling thread's last error, as GetLastError keeps it on Windows. Linux
// operations leave their errno value; the few failures without an errno
// counterpart use the Windows code of the same meaning (all above 200, where
// no errno value lies).

#include <string>

#include "service/platform/Platform.h"

namespace rulo::posix {

constexpr DWORD kErrorMoreData = 234;
constexpr DWORD kErrorBadDatabase = 1009;
constexpr DWORD kErrorServiceAlreadyRunning = 1056;
constexpr DWORD kErrorServiceDoesNotExist = 1060;
constexpr DWORD kErrorFailedServiceControllerConnect = 1063;
constexpr DWORD kErrorServiceExists = 1073;

DWORD lastError();
void setLastError(DWORD code);
// Takes errno as the last error; returns false for use in failing returns.
bool failWithErrno();
// Sets code as the last error; returns false for use in failing returns.
bool failWith(DWORD code);

// The message text of an errno value or of one of the codes above; empty for
// any other code.
std::string errorText(DWORD code);

}  // namespace rulo::posix
