// On Windows the system's type library loader reads the library embedded in
// the module and registers it; it writes the live registry itself.

#include "common/com/ComPtr.h"
#include "common/com/TextConversion.h"
#include "provider/module/ComIdentity.h"
#include "provider/module/TypeLibRegistration.h"

namespace qrv::cim {

using com::ComPtr;
using com::toWide;

HRESULT registerTypeLibrary(RegistryKeys&, const std::string& modulePath) {
  ComPtr<ITypeLib> library;
  return LoadTypeLibEx(toWide(modulePath, CP_ACP).c_str(), REGKIND_REGISTER, library.put());
}

HRESULT unregisterTypeLibrary(RegistryKeys&) {
  const SYSKIND platform = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
  return UnRegisterTypeLib(kLibId, kTypeLibMajorVersion, kTypeLibMinorVersion, kTypeLibLocale, platform);
}

}  // namespace qrv::cim
