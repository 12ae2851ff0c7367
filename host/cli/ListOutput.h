#pragma once
// Objects in the layout of wmic's /format:list and PowerShell's
// Format-List: a line "Name = value" for each value the object shows
// (ShownValue.h), in plain text (PlainValue.h) with arrays as {a, b}, a
// blank line between objects. An unset value leaves the line at "Name =";
// control characters in text are written \n, \r, \t or \xHHHH, so that a
// value keeps to its line.

#include <string>
#include <string_view>
#include <vector>

#include "common/com/ComPtr.h"
#include "common/com/WmiSdk.h"

namespace wmihost {

std::string listText(const std::vector<qrv::com::ComPtr<IWbemClassObject>>& objects,
                     const std::vector<std::string_view>& systemProperties);

}  // namespace wmihost
