#include "host/cim/ClientCall.h"

#include <stdexcept>
#include <string>

namespace wmihost {

SECURITY_IMPERSONATION_LEVEL tokenLevelOf(DWORD rpcImpersonationLevel) {
  switch (rpcImpersonationLevel) {
    case RPC_C_IMP_LEVEL_ANONYMOUS:
      return SecurityAnonymous;
    case RPC_C_IMP_LEVEL_IDENTIFY:
      return SecurityIdentification;
    case RPC_C_IMP_LEVEL_IMPERSONATE:
      return SecurityImpersonation;
    case RPC_C_IMP_LEVEL_DELEGATE:
      return SecurityDelegation;
    default:
      throw std::invalid_argument("impersonation level " + std::to_string(rpcImpersonationLevel) +
                                  " is not one of 1 to 4");
  }
}

}  // namespace wmihost
