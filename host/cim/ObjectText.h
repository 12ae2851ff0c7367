#pragma once
// The MOF text of a class or an instance, in the layout of WMI's
// GetObjectText:
//   instance of Korvex_Disk
//   {
//   	DeviceID = "disk0";
//   };
// with a blank line before it. Unset properties of an instance are left out;
// a class lists every property with its type, [key] where it is a key, and
// its default when one was put. System properties a client asked to see
// come first, each with its value (NULL when it has none).

#include <string>
#include <string_view>
#include <vector>

namespace wmihost {

class WbemObject;

std::string objectText(const WbemObject& object, const std::vector<std::string_view>& systemProperties = {});

}  // namespace wmihost
