#pragma once

#include <map>
#include <string>

namespace qrv::cim {

// Key property name to key value text, in byte order of the names; the first
// value inserted for a name is kept.
using KeyValues = std::map<std::string, std::string>;

}  // namespace qrv::cim
