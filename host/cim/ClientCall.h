#pragma once
// Runs a provider call as WMI would: for the scope's lifetime the calling
// thread serves a client that granted the given impersonation level
// (RPC_C_IMP_LEVEL_ANONYMOUS 1 to RPC_C_IMP_LEVEL_DELEGATE 4), so that the
// provider may impersonate it and read that level from its thread token.

#include "compat/com/CallContext.h"
#include "common/com/WmiSdk.h"

namespace wmihost {

// The token level that impersonating a client of an RPC impersonation level
// gives; throws std::invalid_argument outside 1 to 4.
SECURITY_IMPERSONATION_LEVEL tokenLevelOf(DWORD rpcImpersonationLevel);

class ClientCall {
 public:
  explicit ClientCall(DWORD rpcImpersonationLevel) : scope_(tokenLevelOf(rpcImpersonationLevel)) {}

 private:
  compat::ClientCallScope scope_;
};

}  // namespace wmihost
