#pragma once

#include <string>
#include <string_view>

namespace qrv::cim {

// The <ArrayElement value="..."/> elements of an array key value such as
// {1, "2",,3}: the value is cut at every "{", "," and "}", each piece loses
// blanks and double quotes at both ends, and empty pieces are dropped.
std::string writeArrayElements(std::string_view value);

}  // namespace qrv::cim
