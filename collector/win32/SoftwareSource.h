#pragma once
// The installed software: the uninstall entries of the registry's 64-bit
// and 32-bit views (one view on a 32-bit system).

#include "collector/Inventory.h"

namespace collector {

XmlElement packagesElement(Notes& notes);

}  // namespace collector
