#pragma once
// The system classes whose instances a MOF file of the repository may
// declare: WMI's registration of an instance provider, __Win32Provider
// (the provider's COM class and how WMI hosts it) and
// __InstanceProviderRegistration (the requests it takes), with every
// property WMI documents for them. WMI has them in every namespace.

#include <string_view>

#include "host/cim/ClassDefinition.h"
#include "host/cim/MofInstance.h"

namespace wmihost {

inline constexpr char kWin32Provider[] = "__Win32Provider";
inline constexpr char kInstanceProviderRegistration[] = "__InstanceProviderRegistration";

// The system class, found by name ignoring case; null for any other name.
const ClassDefinition* systemClass(std::string_view className);

// Throws MofError, naming the file and line, unless the declaration is an
// instance of a system class that gives only properties of the class values
// of their types: text for strings, date-times and references, numbers for
// numbers, TRUE or FALSE for booleans, an alias for a reference, braces for
// an array, NULL for any.
void checkSystemInstance(const MofInstance& instance);

}  // namespace wmihost
