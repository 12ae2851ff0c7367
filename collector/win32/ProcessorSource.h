#pragma once
// The processors, one Processor element per socket: the counts from
// GetLogicalProcessorInformationEx, the names from the registry, the slots
// and clocks from SMBIOS type 4.

#include "collector/Inventory.h"
#include "collector/win32/FirmwareTable.h"

namespace collector {

XmlElement processorsElement(const FirmwareSmbios& smbios, Notes& notes);

}  // namespace collector
