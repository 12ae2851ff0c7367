#pragma once

#include <map>
#include <string>
#include <vector>

#include "common/com/WmiSdk.h"

namespace qrv::cim {

// The values gathered for the array properties of one instance: property
// name to its element texts, in the order the entries were visited.
using ArrayValues = std::map<std::string, std::vector<std::string>>;

// Puts each gathered array into `instance` as an array of strings, in
// ascending order of property name. Returns the outcome of the last array
// property handled (its type lookup, element store or Put), S_OK when there
// was none. A property whose array cannot be created is skipped.
HRESULT putArrayProperties(const ArrayValues& arrays, IWbemClassObject* instance);

}  // namespace qrv::cim
