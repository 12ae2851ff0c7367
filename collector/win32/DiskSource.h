#pragma once
// The disks: each \\.\PhysicalDriveN that opens, with what the storage
// driver says of it and its partitions, and the volumes tied to those
// partitions by their extents (file system, label, GUID, mount point).

#include "collector/Inventory.h"

namespace collector {

XmlElement disksElement(Notes& notes);

}  // namespace collector
