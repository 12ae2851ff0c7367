#pragma once
// GUIDs in their registry text, "{5A1E7C3D-0B94-4F2A-9C61-7D28E4B0A913}", in
// both directions.

#include <optional>
#include <string>
#include <string_view>

#include "common/com/WmiSdk.h"

namespace qrv::com {

// A GUID as the registry writes it: braces, upper-case hexadecimal digits,
// groups of 8-4-4-4-12 digits.
std::string guidText(REFGUID guid);

// A GUID read from that text as CLSIDFromString reads it, hexadecimal digits
// in any case; none for text of any other shape.
std::optional<GUID> guidFromText(std::string_view text);

}  // namespace qrv::com
