#pragma once
// The memory: its total as Windows reports it, its arrays and modules from
// SMBIOS types 16 and 17.

#include "collector/Inventory.h"
#include "collector/win32/FirmwareTable.h"

namespace collector {

XmlElement memoryElement(const FirmwareSmbios& smbios, Notes& notes);

}  // namespace collector
