#pragma once
// The provider class that wmihost hosts, named the way WMI's provider
// registration names it: by the text of its CLSID.

namespace wmihost {

inline constexpr char kProviderClsid[] = "{5A1E7C3D-0B94-4F2A-9C61-7D28E4B0A913}";

}  // namespace wmihost
