#pragma once
// The provider as an association query uses it when it takes no such query
// itself: its enumeration of a class and its get of an object path, each
// giving its result and filling in the objects it delivered; and the host's
// diagnostic lines.

#include <functional>
#include <string>
#include <vector>

#include "common/com/ComPtr.h"
#include "common/com/WmiSdk.h"

namespace wmihost {

struct InstanceSource {
  using Objects = std::vector<qrv::com::ComPtr<IWbemClassObject>>;

  std::function<HRESULT(const std::string& className, Objects& delivered)> enumerate;
  std::function<HRESULT(const std::string& objectPath, Objects& delivered)> get;
  std::function<void(const std::string& line)> note;
};

// Whether the provider declines a request with its result, so that WMI does
// the work itself.
inline bool declines(HRESULT result) {
  return result == static_cast<HRESULT>(WBEM_E_NOT_SUPPORTED) ||
         result == static_cast<HRESULT>(WBEM_E_PROVIDER_NOT_CAPABLE);
}

}  // namespace wmihost
