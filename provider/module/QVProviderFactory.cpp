#include "provider/module/QVProviderFactory.h"

#include <new>

#include "provider/wmi/CQVProvider.h"

namespace qrv::cim {

namespace {

// The module's own reference; references beyond it hold the module lock.
constexpr ULONG kModuleReference = 1;

}  // namespace

HRESULT QVProviderFactory::QueryInterface(REFIID riid, void** ppvObject) {
  if (!ppvObject) return E_POINTER;
  if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IClassFactory)) {
    *ppvObject = nullptr;
    return E_NOINTERFACE;
  }
  *ppvObject = static_cast<IClassFactory*>(this);
  AddRef();
  return S_OK;
}

ULONG QVProviderFactory::AddRef() {
  const ULONG count = ++references_;
  if (count == kModuleReference + 1) module_.lock();
  return count;
}

ULONG QVProviderFactory::Release() {
  const ULONG remaining = --references_;
  if (remaining == kModuleReference) module_.unlock();
  if (remaining == 0) delete this;
  return remaining;
}

HRESULT QVProviderFactory::CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) {
  if (!ppvObject) return E_POINTER;
  *ppvObject = nullptr;
  if (pUnkOuter) return CLASS_E_NOAGGREGATION;
  CQVProvider* provider = new (std::nothrow) CQVProvider(CQVProvider::systemSleep, &module_);
  if (!provider) return E_OUTOFMEMORY;
  provider->AddRef();
  const HRESULT hr = provider->QueryInterface(riid, ppvObject);
  provider->Release();
  return hr;
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
