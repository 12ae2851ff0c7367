#include "host/cim/MachineName.h"

#include <unistd.h>

namespace wmihost {

std::string machineName() {
  char name[256] = {};
  return gethostname(name, sizeof name - 1) == 0 ? std::string(name) : std::string();
}

}  // namespace wmihost
