#pragma once
// Reads the MOF subset of the stand-in's class repository:
//   #pragma namespace("\\\\.\\root\\cimv2")   the namespace of the classes that follow
//   [qualifier, qualifier(value), ...]        before a class or a property: their names,
//                                             and key on a property
//   class Name { ... };  class Name : Base { ... };
//   Type Name;  Type Name[];  Class ref Name;  with the CIM types of cim_types.h
// and both comment forms. Anything else throws MofError with file and line.

#include <string>
#include <string_view>
#include <vector>

#include "host/cim/ClassDefinition.h"

namespace wmihost {

struct MofQualifier {
  std::string name;
  // Whether subclasses have it too.
  bool inherited = true;
};

struct MofClass {
  std::string nameSpace;
  std::string name;
  // Empty when the class names no base.
  std::string superclass;
  // Its qualifiers, but for those written FALSE.
  std::vector<MofQualifier> qualifiers;
  // The class's own properties; origin is left to the repository.
  std::vector<PropertyDefinition> properties;
  int line = 0;
};

// The classes declared in text, in order. Without a pragma the namespace is
// root\cimv2.
std::vector<MofClass> parseMof(std::string_view text, const std::string& fileName);

}  // namespace wmihost
