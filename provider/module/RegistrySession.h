#pragma once

#include <functional>

#include "provider/module/RegistryKeys.h"

namespace qrv::cim {

// Runs one registration or unregistration against this system's registry
// and returns what `work` returned, or the failure of the registry itself.
HRESULT inRegistrySession(const std::function<HRESULT(RegistryKeys&)>& work);

}  // namespace qrv::cim
