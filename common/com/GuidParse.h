#pragma once
// Reading a GUID from its registry text, as CLSIDFromString does:
// "{5A1E7C3D-0B94-4F2A-9C61-7D28E4B0A913}", hexadecimal digits in any case.

#include <optional>
#include <string_view>

#include "common/com/WmiSdk.h"

namespace wmihost {

// None for text of any other shape.
std::optional<GUID> guidFromText(std::string_view text);

}  // namespace wmihost
