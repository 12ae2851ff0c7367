#pragma once
// Runs a provider call as WMI would: for the scope's lifetime the calling
// thread serves a client that granted the given impersonation level
// (RPC_C_IMP_LEVEL_ANONYMOUS 1 to RPC_C_IMP_LEVEL_DELEGATE 4), so that the
// provider may impersonate it and read that level from its thread token.
// On Linux the stand-in's per-thread call context carries the client; on
// Windows a COM call context of the host's own does.

#include <memory>

#include "common/com/WmiSdk.h"

namespace wmihost {

// The token level that impersonating a client of an RPC impersonation level
// gives; throws std::invalid_argument outside 1 to 4.
SECURITY_IMPERSONATION_LEVEL tokenLevelOf(DWORD rpcImpersonationLevel);

class ClientCall {
 public:
  // Throws std::invalid_argument for a level outside 1 to 4, and
  // std::runtime_error when the thread cannot be given the call.
  explicit ClientCall(DWORD rpcImpersonationLevel);
  ~ClientCall();
  ClientCall(const ClientCall&) = delete;
  ClientCall& operator=(const ClientCall&) = delete;

 private:
  class Context;
  std::unique_ptr<Context> context_;
};

}  // namespace wmihost
