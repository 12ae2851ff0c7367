#pragma once

#include "common/com/WmiSdk.h"

namespace qrv::cim {

// Impersonation of the calling client on the current thread, reverted when
// the holder goes, so that no path leaves the thread impersonating.
class ClientImpersonation {
 public:
  ClientImpersonation() = default;
  ~ClientImpersonation() {
    if (active_) CoRevertToSelf();
  }
  ClientImpersonation(const ClientImpersonation&) = delete;
  ClientImpersonation& operator=(const ClientImpersonation&) = delete;

  // Starts impersonating; CoImpersonateClient's result.
  HRESULT begin() {
    const HRESULT hr = CoImpersonateClient();
    active_ = SUCCEEDED(hr);
    return hr;
  }

 private:
  bool active_ = false;
};

}  // namespace qrv::cim
