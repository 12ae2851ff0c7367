#pragma once

#include "common/com/WmiSdk.h"

namespace qrv::cim {

// Reads the impersonation level the calling client granted (one of the
// RPC_C_IMP_LEVEL_ values 1 to 4) from the token that impersonating it
// gives the thread. On failure the level is RPC_C_IMP_LEVEL_ANONYMOUS and
// the result is CoImpersonateClient's failure, the Win32 error of the token
// query as an HRESULT (0x80070000 | error), or 0x8007FFFF for a token level
// without a counterpart. The thread is never left impersonating.
HRESULT checkImpersonationLevel(DWORD* level);

// The caller policy of every operation that works for a client: the
// check's failure, WBEM_E_ACCESS_DENIED for a client below the impersonate
// level, else a success code.
HRESULT checkCaller();

}  // namespace qrv::cim
