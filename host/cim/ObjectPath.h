#pragma once
// The relative object path of an object, WMI's __RELPATH: the class name for
// a class; Class.Key1=value,Key2=value for an instance, keys in name order
// and values written as MOF writes them; Class=@ for an instance of a class
// without keys. None while a key of the instance is unset.

#include <optional>
#include <string>

namespace wmihost {

class WbemObject;

std::optional<std::string> relativePath(const WbemObject& object);

}  // namespace wmihost
