#pragma once
// A stored value as MOF writes it: text quoted, with \" and \\ escaped and
// control characters as \b \t \n \f \r or \xHHHH (64-bit integers,
// date-times and references are text too), numbers in
// decimal, booleans TRUE and FALSE, arrays in braces, an embedded object as
// its own object text, an unset value as NULL. The CIM type tells how to
// read char16 and uint32, which VT_I2 and VT_I4 hold as bit patterns.

#include <string>

#include "common/com/WmiSdk.h"

namespace wmihost {

std::string mofValueText(CIMTYPE type, const VARIANT& value);

}  // namespace wmihost
