#pragma once
// The class factory of CQVProvider. The module keeps one reference to it for
// the life of the process; every further reference holds the module lock,
// so the module is not unloaded while anyone else holds the factory.

#include <atomic>

#include "common/com/WmiSdk.h"
#include "provider/wmi/ServerModule.h"

namespace qrv::cim {

class QVProviderFactory : public IClassFactory {
 public:
  explicit QVProviderFactory(ServerModule& module) : module_(module) {}
  virtual ~QVProviderFactory() = default;
  QVProviderFactory(const QVProviderFactory&) = delete;
  QVProviderFactory& operator=(const QVProviderFactory&) = delete;

  // IUnknown, answered for IUnknown and IClassFactory.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // Creates a CQVProvider and queries it; aggregation is refused.
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) override;
  // Locks or unlocks the module.
  HRESULT STDMETHODCALLTYPE LockServer(BOOL fLock) override;

 private:
  ServerModule& module_;
  std::atomic<ULONG> references_{0};
};

}  // namespace qrv::cim
