#pragma once
// Reads the properties of WMI objects back as text, for comparisons.

#include <string>

#include "common/com/WmiSdk.h"

namespace qrv::test {

// The value of a property as text: "<null>" when unset, strings as they
// are, numbers in decimal, booleans as TRUE or FALSE, arrays as {a,b,c};
// "<no such property>" when Get fails.
std::string propertyText(IWbemClassObject* object, const std::string& name);

}  // namespace qrv::test
