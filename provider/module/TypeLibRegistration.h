#pragma once
// Registration of the type library embedded in the module. It names no help
// file, so no help directory is registered.

#include <string>

#include "provider/module/RegistryKeys.h"

namespace qrv::cim {

// Registers the type library of the module at modulePath under that path.
HRESULT registerTypeLibrary(RegistryKeys& keys, const std::string& modulePath);

// Removes the registration of version 1.0 in the library's locale; other
// versions registered under the same LIBID stay.
HRESULT unregisterTypeLibrary(RegistryKeys& keys);

}  // namespace qrv::cim
