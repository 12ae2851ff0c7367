#include "host/cim/MachineName.h"

#include <windows.h>

namespace wmihost {

std::string machineName() {
  char name[256] = {};
  DWORD size = sizeof name;
  return GetComputerNameExA(ComputerNameDnsHostname, name, &size) ? std::string(name, size) : std::string();
}

}  // namespace wmihost
