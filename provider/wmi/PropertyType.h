#pragma once

#include <string>

#include "common/com/WmiSdk.h"

namespace qrv::cim {

// Reads the CIM type of `property` from `object`; fails when the object
// has no such property. The property's value is not kept.
HRESULT getPropertyType(IWbemClassObject* object, const std::string& property, CIMTYPE* type);

}  // namespace qrv::cim
