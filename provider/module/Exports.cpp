// The entry points of the server: its class object, the unload check and
// self-registration. None lets an exception out.

#include "common/com/CallGuard.h"
#include "provider/module/ComIdentity.h"
#include "provider/module/CqrvcimModule.h"
#include "provider/module/ServerRegistration.h"

using qrv::cim::CqrvcimModule;
using qrv::cim::theModule;
using qrv::com::guardCall;
using qrv::com::kComFailures;

STDAPI DllCanUnloadNow() { return theModule().lockCount() == 0 ? S_OK : S_FALSE; }

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
  CqrvcimModule& module = theModule();
  if (!module.initialized()) return E_UNEXPECTED;
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (!IsEqualCLSID(rclsid, qrv::cim::kClsidQVProvider)) return CLASS_E_CLASSNOTAVAILABLE;
  return guardCall(kComFailures, [&] {
    const HRESULT hr = module.getClassObject(riid, ppv);
    return SUCCEEDED(hr) && !*ppv ? CLASS_E_CLASSNOTAVAILABLE : hr;
  });
}

STDAPI DllRegisterServer() {
  const CqrvcimModule& module = theModule();
  if (!module.initialized()) return E_UNEXPECTED;
  return guardCall(kComFailures,
                   [&] { return qrv::cim::registerServer(module.modulePath(), module.registrationReplacements()); });
}

STDAPI DllUnregisterServer() {
  const CqrvcimModule& module = theModule();
  if (!module.initialized()) return E_UNEXPECTED;
  return guardCall(kComFailures, [&] { return qrv::cim::unregisterServer(module.registrationReplacements()); });
}
