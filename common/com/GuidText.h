#pragma once

#include <string>

#include "common/com/WmiSdk.h"

namespace qrv::cim {

// A GUID as the registry writes it: braces, upper-case hexadecimal digits,
// groups of 8-4-4-4-12 digits.
std::string guidText(REFGUID guid);

}  // namespace qrv::cim
