#pragma once

#include <map>
#include <string>

namespace qrv::cim {

// One instance of a request's result text: property name to value text, in
// byte order of the names; the first value inserted for a name is kept.
using ParsedInstance = std::map<std::string, std::string>;

}  // namespace qrv::cim
