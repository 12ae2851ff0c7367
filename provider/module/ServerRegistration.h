#pragma once
// Self-registration of the server: its AppID, its class with the class's
// ProgIDs, and its type library.

#include <string>

#include "provider/module/RegistryEntry.h"
#include "common/com/WmiSdk.h"

namespace qrv::cim {

// Writes the AppID entries, the class entries and the type library
// registration, in this order, for the module at modulePath. `common` are
// the module's own replacements (%APPID%). Returns the first failure.
HRESULT registerServer(const std::string& modulePath, const Replacements& common);

// Removes the class entries, the type library registration and the AppID
// entries, in this order. Keys shared with other servers stay.
HRESULT unregisterServer(const Replacements& common);

}  // namespace qrv::cim
