#pragma once
// The sink the stand-in hands to a provider's Initialize; it keeps every
// SetStatus call. Calls may come from any thread.

#include <mutex>
#include <vector>

#include "common/com/ComObject.h"
#include "common/com/ComPtr.h"

namespace wmihost {

struct InitStatus {
  LONG status = 0;
  LONG flags = 0;
};

class InitSink final
    : public qrv::com::ComObject<qrv::com::Threading::Free,
                                 qrv::com::Implements<IWbemProviderInitSink, IID_IWbemProviderInitSink>> {
 public:
  static qrv::com::ComPtr<InitSink> create();

  std::vector<InitStatus> statuses() const;

  HRESULT STDMETHODCALLTYPE SetStatus(LONG lStatus, LONG lFlags) override;

 private:
  InitSink() = default;

  mutable std::mutex mutex_;
  std::vector<InitStatus> statuses_;
};

}  // namespace wmihost
