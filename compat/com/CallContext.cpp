#include "compat/com/CallState.h"

namespace compat {

CallState& threadCallState() {
  thread_local CallState state;
  return state;
}

ClientCallScope::ClientCallScope(SECURITY_IMPERSONATION_LEVEL level) : ClientCallScope(ClientCall{level}) {}

ClientCallScope::ClientCallScope(const ClientCall& call) {
  CallState& state = threadCallState();
  outerInCall_ = state.inCall;
  outerImpersonating_ = state.impersonating;
  outerCall_ = state.call;
  state = CallState{true, false, call};
}

ClientCallScope::~ClientCallScope() {
  threadCallState() = CallState{outerInCall_, outerImpersonating_, outerCall_};
}

bool inClientCall() { return threadCallState().inCall; }

bool isImpersonating() { return threadCallState().impersonating; }

}  // namespace compat

namespace {

HRESULT setImpersonating(bool impersonating) {
  compat::CallState& state = compat::threadCallState();
  if (!state.inCall) return RPC_E_CALL_COMPLETE;
  state.impersonating = impersonating;
  return S_OK;
}

}  // namespace

HRESULT CoImpersonateClient() { return setImpersonating(true); }

HRESULT CoRevertToSelf() { return setImpersonating(false); }
