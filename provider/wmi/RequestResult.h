#pragma once

#include "common/com/WmiSdk.h"
#include "provider/request/model/RequestStatus.h"

namespace qrv::cim {

// The WMI result of a request's status.
HRESULT mapRequestStatus(RequestStatus status);

// Whether an enumeration may report `hr` as it is.
bool isEnumerationStatus(HRESULT hr);

// Whether a get may report `hr` as it is: the enumeration's codes and
// WBEM_E_INVALID_OBJECT_PATH.
bool isGetObjectStatus(HRESULT hr);

// `hr` when `allowed` lets it through, else WBEM_E_PROVIDER_NOT_CAPABLE.
HRESULT allowedOrNotCapable(HRESULT hr, bool (*allowed)(HRESULT));

}  // namespace qrv::cim
