#pragma once

#include <string>

#include "common/com/WmiSdk.h"
#include "provider/request/model/RequestStatus.h"

namespace qrv::cim {

// Pieces of the provider's diagnostic lines.

// "0x80041003".
std::string hresultHex(HRESULT hr);

// The MOF name of a CIM type, "[]" after an array's: "uint32", "string[]";
// "type 0x..." for a type without one.
std::string cimTypeName(CIMTYPE type);

// What a request status means, for the line that reports a failed request.
std::string requestStatusText(RequestStatus status);

// The class an object belongs to, from its __CLASS property; empty when it
// cannot be read.
std::string classNameOf(IWbemClassObject* object);

}  // namespace qrv::cim
