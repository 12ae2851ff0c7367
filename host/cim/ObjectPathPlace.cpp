#include "host/cim/ObjectPathPlace.h"

#include "common/text/AsciiCase.h"
#include "host/cim/ComputerName.h"
#include "host/cim/MachineName.h"
#include "host/cim/NamespaceName.h"

namespace wmihost {

using qrv::text::equalsIgnoringAsciiCase;

namespace {

// The computer name is the one this host writes in __SERVER and __PATH, so a
// path it delivered names this machine however long or dotted its host name.
bool isThisMachine(const std::string& server) {
  return server.empty() || server == "." || equalsIgnoringAsciiCase(server, "localhost") ||
         equalsIgnoringAsciiCase(server, computerName()) || equalsIgnoringAsciiCase(server, machineName());
}

}  // namespace

std::optional<PlaceRefusal> placeRefusal(const ObjectPath& path, std::string_view servedNamespace) {
  if (!isThisMachine(path.server)) {
    return PlaceRefusal{HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE),
                        "the path names the server " + path.server + ", and this host reaches no other machine"};
  }
  if (!path.nameSpace.empty() && namespaceKey(path.nameSpace) != namespaceKey(servedNamespace)) {
    return PlaceRefusal{static_cast<HRESULT>(WBEM_E_INVALID_NAMESPACE),
                        "the path names the namespace " + path.nameSpace + ", and this host serves " +
                            canonicalNamespace(servedNamespace)};
  }
  return std::nullopt;
}

}  // namespace wmihost
