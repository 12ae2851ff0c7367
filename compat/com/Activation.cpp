#include "compat/com/Activation.h"

#include <map>
#include <mutex>

namespace {

struct Registration {
  CLSID clsid;
  IUnknown* object;
};

// The registered class objects of the process, by cookie; a later
// registration of a class wins over an earlier one.
struct ClassTable {
  std::mutex mutex;
  std::map<DWORD, Registration> registrations;
  DWORD nextCookie = 1;
};

ClassTable& classes() {
  static ClassTable table;
  return table;
}

// The latest class object registered for clsid, AddRef'ed, or null.
IUnknown* acquireClassObject(REFCLSID clsid) {
  ClassTable& table = classes();
  std::lock_guard<std::mutex> lock(table.mutex);
  for (auto it = table.registrations.rbegin(); it != table.registrations.rend(); ++it) {
    if (it->second.clsid == clsid) {
      it->second.object->AddRef();
      return it->second.object;
    }
  }
  return nullptr;
}

}  // namespace

HRESULT CoGetClassObject(REFCLSID rclsid, DWORD, COSERVERINFO*, REFIID riid, LPVOID* ppv) {
  if (!ppv) return E_INVALIDARG;
  *ppv = nullptr;
  IUnknown* object = acquireClassObject(rclsid);
  if (!object) return REGDB_E_CLASSNOTREG;
  const HRESULT hr = object->QueryInterface(riid, ppv);
  object->Release();
  return hr;
}

HRESULT CoRegisterClassObject(REFCLSID rclsid, IUnknown* pUnk, DWORD, DWORD, LPDWORD lpdwRegister) {
  if (!pUnk || !lpdwRegister) return E_INVALIDARG;
  pUnk->AddRef();
  ClassTable& table = classes();
  std::lock_guard<std::mutex> lock(table.mutex);
  *lpdwRegister = table.nextCookie++;
  table.registrations[*lpdwRegister] = Registration{rclsid, pUnk};
  return S_OK;
}

HRESULT CoRevokeClassObject(DWORD dwRegister) {
  IUnknown* object = nullptr;
  {
    ClassTable& table = classes();
    std::lock_guard<std::mutex> lock(table.mutex);
    const auto found = table.registrations.find(dwRegister);
    if (found == table.registrations.end()) return CO_E_OBJNOTREG;
    object = found->second.object;
    table.registrations.erase(found);
  }
  object->Release();
  return S_OK;
}
