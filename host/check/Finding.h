#pragma once
// What wmihost check found at a place.

#include <string>

namespace wmihost {

struct Finding {
  // "FILE" or "FILE:LINE".
  std::string where;
  std::string what;
  // A fault, rather than a remark.
  bool problem = true;
};

}  // namespace wmihost
