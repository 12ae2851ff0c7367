#include "provider/module/QVProviderFactory.h"

#include "common/com/CallGuard.h"
#include "common/com/ComPtr.h"
#include "provider/wmi/CQVProvider.h"

namespace qrv::cim {

namespace {

// The module's own reference; references beyond it hold the module lock.
constexpr ULONG kModuleReference = 1;

}  // namespace

ULONG QVProviderFactory::AddRef() {
  const ULONG count = ComObject::AddRef();
  if (count == kModuleReference + 1) module_.lock();
  return count;
}

ULONG QVProviderFactory::Release() {
  // Taken first: once the count is down, another thread may delete the factory.
  ServerModule& module = module_;
  const ULONG remaining = ComObject::Release();
  if (remaining == kModuleReference) module.unlock();
  return remaining;
}

HRESULT QVProviderFactory::CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) {
  if (!ppvObject) return E_POINTER;
  *ppvObject = nullptr;
  if (pUnkOuter) return CLASS_E_NOAGGREGATION;
  return com::guardCall(com::kComFailures, [&] {
    const auto provider = com::ComPtr<CQVProvider>::share(new CQVProvider(CQVProvider::systemSleep, &module_));
    return provider->QueryInterface(riid, ppvObject);
  });
}

HRESULT QVProviderFactory::LockServer(BOOL fLock) {
  if (fLock) {
    module_.lock();
  } else {
    module_.unlock();
  }
  return S_OK;
}

}  // namespace qrv::cim
