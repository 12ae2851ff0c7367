#include "provider/wmi/RequestResult.h"

#include "provider/wmi/WbemResult.h"

namespace qrv::cim {

HRESULT mapRequestStatus(RequestStatus status) {
  switch (status) {
    case Ok:
      return wbemResult(WBEM_S_NO_ERROR);
    case MissingKey:
      return wbemResult(WBEM_E_INVALID_OBJECT);
    case NotAccessible:
      return wbemResult(WBEM_E_ACCESS_DENIED);
    case TransformFailed:
    case StylesheetFailed:
      return wbemResult(WBEM_E_FAILED);
    case NotSupported:
      return wbemResult(WBEM_E_NOT_SUPPORTED);
  }
  return wbemResult(WBEM_E_PROVIDER_FAILURE);
}

bool isEnumerationStatus(HRESULT hr) {
  return hr == wbemResult(WBEM_S_NO_ERROR) || hr == wbemResult(WBEM_E_NOT_FOUND) ||
         hr == wbemResult(WBEM_E_ACCESS_DENIED) || hr == wbemResult(WBEM_E_INVALID_PARAMETER) ||
         hr == wbemResult(WBEM_E_INVALID_CLASS) || hr == wbemResult(WBEM_E_PROVIDER_NOT_CAPABLE);
}

bool isGetObjectStatus(HRESULT hr) {
  return isEnumerationStatus(hr) || hr == wbemResult(WBEM_E_INVALID_OBJECT_PATH);
}

HRESULT allowedOrNotCapable(HRESULT hr, bool (*allowed)(HRESULT)) {
  return allowed(hr) ? hr : wbemResult(WBEM_E_PROVIDER_NOT_CAPABLE);
}

}  // namespace qrv::cim
