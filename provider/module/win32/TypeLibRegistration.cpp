// On Windows the system's type library loader reads the library embedded in
// the module, and RegisterTypeLib writes it into the live registry.

#include "common/com/ComPtr.h"
#include "common/com/TextConversion.h"
#include "provider/module/ComIdentity.h"
#include "provider/module/TypeLibRegistration.h"

namespace qrv::cim {

using com::ComPtr;
using com::toWide;

// Registered under the module's path exactly as given: loading with
// REGKIND_REGISTER would register the loader's own form of the path, which
// need not match the InprocServer32 entry. No help directory is named.
HRESULT registerTypeLibrary(RegistryKeys&, const std::string& modulePath) {
  std::wstring path = toWide(modulePath, CP_ACP);
  ComPtr<ITypeLib> library;
  const HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.put());
  if (FAILED(hr)) return hr;
  return RegisterTypeLib(library.get(), path.data(), nullptr);  // declared with a non-const path
}

HRESULT unregisterTypeLibrary(RegistryKeys&) {
  const SYSKIND platform = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
  return UnRegisterTypeLib(kLibId, kTypeLibMajorVersion, kTypeLibMinorVersion, kTypeLibLocale, platform);
}

}  // namespace qrv::cim
