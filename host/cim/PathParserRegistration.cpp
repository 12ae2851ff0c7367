#include "host/cim/PathParserRegistration.h"

#include <stdexcept>

#include "common/com/ComObject.h"
#include "common/com/ComPtr.h"

namespace wmihost {

using qrv::com::ComObject;
using qrv::com::ComPtr;
using qrv::com::Implements;
using qrv::com::Threading;

namespace {

// An object with no interface beyond IUnknown.
class BareObject final : public ComObject<Threading::Free, Implements<IUnknown, IID_IUnknown>> {};

class PathParserFactory final : public ComObject<Threading::Free, Implements<IClassFactory, IID_IClassFactory>> {
 public:
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) override {
    if (!ppvObject) return E_POINTER;
    *ppvObject = nullptr;
    if (pUnkOuter) return CLASS_E_NOAGGREGATION;
    const auto object = ComPtr<IUnknown>::adopt(new BareObject());
    return object->QueryInterface(riid, ppvObject);
  }
  // Nothing is ever unloaded here, so there is no lock to count.
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

}  // namespace

PathParserRegistration::PathParserRegistration() {
  const auto factory = ComPtr<IClassFactory>::adopt(new PathParserFactory());
  if (FAILED(CoRegisterClassObject(CLSID_WbemDefPath, factory.get(), CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                   &cookie_))) {
    throw std::runtime_error("the object-path parser class cannot be registered");
  }
}

PathParserRegistration::~PathParserRegistration() { CoRevokeClassObject(cookie_); }

}  // namespace wmihost
