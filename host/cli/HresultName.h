#pragma once
// The names and meanings of HRESULTs for wmihost's reports: the WBEM_E_ and
// WBEM_S_ codes; the E_, CLASS_E_, CO_E_, REGDB_E_, DISP_E_ and TYPE_E_ codes
// of COM and OLE automation; RPC_E_ codes; and Win32 errors in their HRESULT
// form 0x8007xxxx.

#include <string>
#include <string_view>

#include "common/com/WmiSdk.h"

namespace wmihost {

// The code's name; "unknown" for a code without one.
std::string_view hresultName(HRESULT code);

// One line on what the code means. A Win32 error starts "Win32 error N";
// a code without a name says what its facility tells.
std::string hresultMeaning(HRESULT code);

// The code in hexadecimal with its name: "0x8004100C WBEM_E_NOT_SUPPORTED".
std::string hresultText(HRESULT code);

}  // namespace wmihost
