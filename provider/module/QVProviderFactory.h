#pragma once
// The class factory of CQVProvider. The module keeps one reference to it for
// the life of the process; every further reference holds the module lock,
// so the module is not unloaded while anyone else holds the factory.

#include "common/com/ComObject.h"
#include "common/com/WmiSdk.h"
#include "provider/wmi/ServerModule.h"

namespace qrv::cim {

class QVProviderFactory
    : public com::ComObject<com::Threading::Free, com::Implements<IClassFactory, IID_IClassFactory>> {
 public:
  // Born without a reference: the module adds its own.
  explicit QVProviderFactory(ServerModule& module) : ComObject(0), module_(module) {}

  // The reference count, which also holds the module lock while anyone but
  // the module holds a reference.
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // Creates a CQVProvider and queries it; aggregation is refused.
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) override;
  // Locks or unlocks the module.
  HRESULT STDMETHODCALLTYPE LockServer(BOOL fLock) override;

 private:
  ServerModule& module_;
};

}  // namespace qrv::cim
