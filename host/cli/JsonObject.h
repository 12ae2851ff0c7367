#pragma once
// An object as JSON: every property of its class, in declared order, mapped
// to its value. Integers and reals are numbers (the 64-bit integers too,
// which the object holds as decimal text), booleans true or false, strings,
// char16, datetime and reference values strings, arrays JSON arrays, an
// embedded object a nested JSON object, and an unset value null. System
// properties a client asked to see come first; a class object always shows
// its name as __CLASS.

#include <string>
#include <string_view>
#include <vector>

namespace wmihost {

class WbemObject;

std::string jsonObject(const WbemObject& object, const std::vector<std::string_view>& systemProperties = {});

// UTF-8 text as a JSON string: quotes, backslashes and control characters
// escaped, everything else passed through.
std::string jsonString(std::string_view utf8);

}  // namespace wmihost
