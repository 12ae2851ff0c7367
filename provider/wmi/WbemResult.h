#pragma once

#include "common/com/WmiSdk.h"

namespace qrv::cim {

// A WMI status code as an HRESULT. WMI declares its codes as enumerators
// whose values do not fit an int, so every use converts through here.
constexpr HRESULT wbemResult(WBEMSTATUS status) { return static_cast<HRESULT>(status); }

}  // namespace qrv::cim
