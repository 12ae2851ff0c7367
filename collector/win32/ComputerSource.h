#pragma once
// The computer: its name, boot time and uptime (System), and what its
// firmware says about it (Computer).

#include <cstdint>

#include "collector/Inventory.h"
#include "collector/win32/FirmwareTable.h"

namespace collector {

// Host name (GetComputerNameExW, the DNS host name), uptime (GetTickCount64)
// and the boot time in local time with its offset.
XmlElement systemElement(std::int64_t now);

// Maker, model, version, serial, UUID and chassis from SMBIOS types 1 and 3,
// and the width of the processor architecture Windows runs on.
XmlElement computerElement(const FirmwareSmbios& smbios, Notes& notes);

// 64 or 32: the native processor architecture's width.
std::uint64_t nativeWidthBits();

}  // namespace collector
