#pragma once
// The CIM date-time text that WMI accepts for a datetime property: 25
// characters, either a point in time yyyymmddHHMMSS.mmmmmm+UUU (or -UUU, the
// offset from UTC in minutes) or an interval ddddddddHHMMSS.mmmmmm:000.
// The fields are checked against their ranges; the wildcard forms with
// asterisks are not accepted.

#include <string_view>

namespace wmihost {

bool isCimDateTime(std::string_view text);

}  // namespace wmihost
