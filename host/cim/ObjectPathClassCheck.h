#pragma once
// An object path's keys against its class, as WMI checks them before it
// hands a get to a provider.

#include "host/cim/ClassDefinition.h"
#include "host/cim/ObjectPathParser.h"

namespace wmihost {

// Every named key must be a property of the class, a value without a key
// name needs a class with exactly one key, Class=@ a class without keys, and
// a path with keys must name every key of the class. Throws ObjectPathError
// at the first fault.
void checkKeysOfClass(const ObjectPath& path, const ClassDefinition& definition);

}  // namespace wmihost
