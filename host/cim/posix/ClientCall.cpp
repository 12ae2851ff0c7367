#include "host/cim/ClientCall.h"

#include "compat/com/CallContext.h"

namespace wmihost {

class ClientCall::Context {
 public:
  explicit Context(SECURITY_IMPERSONATION_LEVEL level) : scope_(level) {}

 private:
  compat::ClientCallScope scope_;
};

ClientCall::ClientCall(DWORD rpcImpersonationLevel)
    : context_(std::make_unique<Context>(tokenLevelOf(rpcImpersonationLevel))) {}

ClientCall::~ClientCall() = default;

}  // namespace wmihost
