#pragma once
// This machine's name as WMI gives it in __SERVER and __PATH: the NetBIOS
// computer name, in upper case. On Linux it is made from the host name as
// wine makes it: the first label, in upper case, at most 15 characters.

#include <string>

namespace wmihost {

// Looked up once per process; empty when the system does not say.
const std::string& computerName();

}  // namespace wmihost
