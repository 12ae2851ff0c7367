#pragma once
// The names of HRESULTs for wmihost's reports: the WBEM_E_ and WBEM_S_
// codes, and the E_, CLASS_E_ and REGDB_E_ codes of COM activation.

#include <string>
#include <string_view>

#include "common/com/WmiSdk.h"

namespace wmihost {

// The code's name; "unknown" for a code without one.
std::string_view hresultName(HRESULT code);

// The code in hexadecimal with its name: "0x8004100C WBEM_E_NOT_SUPPORTED".
std::string hresultText(HRESULT code);

}  // namespace wmihost
