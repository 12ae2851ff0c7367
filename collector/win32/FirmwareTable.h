#pragma once
// The firmware's SMBIOS table, read once for the sources that use it.

#include <optional>
#include <string>

#include "collector/SmbiosTable.h"

namespace collector {

struct FirmwareSmbios {
  std::optional<SmbiosTable> table;
  std::string failure;  // why there is no table, or what is wrong with it
};

// GetSystemFirmwareTable('RSMB'): the table, or why there is none. A table
// that ends inside a structure is kept up to there, with a failure text.
FirmwareSmbios readFirmwareSmbios();

}  // namespace collector
