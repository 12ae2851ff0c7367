#pragma once
// Whether an object path points at what this host serves: this machine and
// the one namespace it was opened on. A path without a server names this
// machine, and one without a namespace the namespace being served.

#include <optional>
#include <string>
#include <string_view>

#include "common/com/WmiSdk.h"
#include "host/cim/ObjectPathParser.h"

namespace wmihost {

struct PlaceRefusal {
  HRESULT result;
  std::string reason;
};

// None when the path's server is absent, ".", "localhost", this machine's
// name or its computer name (ComputerName.h), letter case aside, and its
// namespace is absent or `servedNamespace` as WMI compares namespaces.
// Another server is refused as WMI refuses a machine it cannot connect to,
// with RPC_S_SERVER_UNAVAILABLE as an HRESULT: this host connects to no
// other. Another namespace is refused with WBEM_E_INVALID_NAMESPACE.
std::optional<PlaceRefusal> placeRefusal(const ObjectPath& path, std::string_view servedNamespace);

}  // namespace wmihost
