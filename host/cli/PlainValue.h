#pragma once
// A value as plain text, as wmic and PowerShell show one: strings,
// date-times, references and 64-bit integers as they are (no quotes, no
// escapes), other numbers in decimal, booleans TRUE and FALSE, char16 as its
// character, an embedded object as its MOF text on one line; an array as its
// elements so, between braces and apart by the separator. None for an unset
// value.

#include <optional>
#include <string>
#include <string_view>

#include "common/com/WmiSdk.h"

namespace wmihost {

std::optional<std::string> plainValue(CIMTYPE type, const VARIANT& value, std::string_view separator);

}  // namespace wmihost
