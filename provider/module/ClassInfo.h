#pragma once

#include <string>

#include "common/com/WmiSdk.h"

namespace qrv::cim {

// The type information of the coclass CQVProvider, from the type library of
// the module at modulePath; the caller releases it.
HRESULT coclassTypeInfo(const std::string& modulePath, ITypeInfo** typeInfo);

}  // namespace qrv::cim
