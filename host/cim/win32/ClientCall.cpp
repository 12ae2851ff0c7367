#include "host/cim/ClientCall.h"

#include <stdexcept>

#include "common/com/ComObject.h"
#include "common/com/ComPtr.h"

namespace wmihost {

using qrv::com::ComObject;
using qrv::com::ComPtr;
using qrv::com::Implements;
using qrv::com::Threading;

namespace {

// The server side of a call from a client of a given impersonation level, as
// COM hands it to the server through CoGetCallContext: CoImpersonateClient
// and CoRevertToSelf come here. Impersonating gives the thread a copy of the
// process token at the client's level, which is what the provider reads.
class ServerSecurity final : public ComObject<Threading::Apartment, Implements<IServerSecurity, IID_IServerSecurity>> {
 public:
  ServerSecurity(SECURITY_IMPERSONATION_LEVEL level, DWORD rpcLevel) : level_(level), rpcLevel_(rpcLevel) {}

  HRESULT STDMETHODCALLTYPE QueryBlanket(DWORD* authnSvc, DWORD* authzSvc, OLECHAR** serverPrincName,
                                         DWORD* authnLevel, DWORD* impLevel, void** privs,
                                         DWORD* capabilities) override {
    if (authnSvc) *authnSvc = RPC_C_AUTHN_WINNT;
    if (authzSvc) *authzSvc = RPC_C_AUTHZ_NONE;
    if (serverPrincName) *serverPrincName = nullptr;
    if (authnLevel) *authnLevel = RPC_C_AUTHN_LEVEL_PKT_PRIVACY;
    if (impLevel) *impLevel = rpcLevel_;
    if (privs) *privs = nullptr;
    if (capabilities) *capabilities = EOAC_NONE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ImpersonateClient() override {
    if (!ImpersonateSelf(level_)) return HRESULT_FROM_WIN32(GetLastError());
    impersonating_ = true;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE RevertToSelf() override {
    if (impersonating_ && !::RevertToSelf()) return HRESULT_FROM_WIN32(GetLastError());
    impersonating_ = false;
    return S_OK;
  }
  BOOL STDMETHODCALLTYPE IsImpersonating() override { return impersonating_; }

 private:
  SECURITY_IMPERSONATION_LEVEL level_;
  DWORD rpcLevel_;
  bool impersonating_ = false;
};

}  // namespace

// The call context switched in for the scope, and the one it replaced.
class ClientCall::Context {
 public:
  Context(SECURITY_IMPERSONATION_LEVEL level, DWORD rpcLevel)
      : security_(ComPtr<IServerSecurity>::adopt(new ServerSecurity(level, rpcLevel))) {
    if (FAILED(CoSwitchCallContext(security_.get(), &previous_))) {
      throw std::runtime_error("the client's call context cannot be set up");
    }
  }
  ~Context() {
    // No path leaves the thread impersonating the client after its call.
    security_->RevertToSelf();
    IUnknown* ours = nullptr;
    CoSwitchCallContext(previous_, &ours);
  }
  Context(const Context&) = delete;
  Context& operator=(const Context&) = delete;

 private:
  ComPtr<IServerSecurity> security_;
  IUnknown* previous_ = nullptr;
};

ClientCall::ClientCall(DWORD rpcImpersonationLevel)
    : context_(std::make_unique<Context>(tokenLevelOf(rpcImpersonationLevel), rpcImpersonationLevel)) {}

ClientCall::~ClientCall() = default;

}  // namespace wmihost
