#pragma once
// The IUnknown part of the stand-in's COM objects: an atomic reference count
// (sinks and class objects may be handed between threads) and
// QueryInterface for IUnknown and the one interface the object implements.

#include <atomic>

#include "common/com/WmiSdk.h"

namespace wmihost {

template <typename Interface, const IID& interfaceId>
class ComObject : public Interface {
 public:
  ComObject() = default;
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    if (riid != IID_IUnknown && riid != interfaceId) {
      *ppv = nullptr;
      return E_NOINTERFACE;
    }
    *ppv = static_cast<Interface*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  virtual ~ComObject() = default;

 private:
  // A new object is born with the reference its creator adopts.
  std::atomic<ULONG> references_{1};
};

}  // namespace wmihost
