#pragma once

#include <string>

#include "provider/request/KeyValues.h"

namespace qrv::cim {

// The class name of a relative object path Class.Key1="v1",Key2="v2": the
// text before the first ".", or the whole path.
std::string objectPathClass(const std::string& path);

// The key values of a relative object path. A value is taken to be quoted:
// it runs from after `="` to the next `",` whose quote is not escaped, or to
// just before the path's last character; \" then reads as " and \\ as \.
// A value whose range is empty or inverted is the empty text. Keys are not
// trimmed, the first value of a key is kept, and the parser never fails.
KeyValues parseObjectPathKeys(const std::string& path);

}  // namespace qrv::cim
