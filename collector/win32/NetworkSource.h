#pragma once
// The network adapters as GetAdaptersAddresses lists them, loopback and
// tunnel interfaces left out.

#include "collector/Inventory.h"

namespace collector {

XmlElement networkAdaptersElement();

}  // namespace collector
