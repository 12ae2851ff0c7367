#pragma once
// What an object shows of itself in wmihost's output: the system properties
// a client asked to see, in the order asked (a class object always shows
// its name as __CLASS, first unless asked for elsewhere), then every
// property of its class in declared order, each with its CIM type and value.

#include <string>
#include <string_view>
#include <vector>

#include "common/com/Variant.h"
#include "common/com/WmiSdk.h"

namespace wmihost {

class WbemObject;

struct ShownValue {
  std::string name;
  CIMTYPE type = CIM_EMPTY;
  qrv::com::Variant value;
};

std::vector<ShownValue> shownValues(const WbemObject& object, const std::vector<std::string_view>& systemProperties);

}  // namespace wmihost
