#pragma once
// This machine's own name as the network knows it: the host name on Linux,
// the DNS host name on Windows. Empty when it cannot be read.

#include <string>

namespace wmihost {

std::string machineName();

}  // namespace wmihost
