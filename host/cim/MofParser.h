#pragma once
// Reads the MOF subset of the stand-in's class repository:
//   #pragma namespace("\\\\.\\root\\cimv2")   the namespace of the declarations that follow
//   [qualifier, qualifier(value), ...]        before a class, a property or an instance: their
//                                             names and values, key on a property and a class's provider
//   class Name { ... };  class Name : Base { ... };
//   Type Name;  Type Name[];  Class ref Name;  with the CIM types of cim_types.h
//   instance of Class { Name = value; ... };  instance of Class as $Alias { ... };
//     with values "text", numbers, TRUE, FALSE, NULL, $Alias and {value, ...}
// and both comment forms. Anything else throws MofError with file and line.

#include <string>
#include <string_view>
#include <vector>

#include "host/cim/ClassDefinition.h"
#include "host/cim/MofInstance.h"
#include "host/cim/MofQualifier.h"

namespace wmihost {

struct MofClass {
  std::string nameSpace;
  std::string name;
  // Empty when the class names no base.
  std::string superclass;
  // The value of its provider qualifier; empty when it has none.
  std::string provider;
  // Its qualifiers, but for those written FALSE.
  std::vector<MofQualifier> qualifiers;
  // The class's own properties; origin is left to the repository.
  std::vector<PropertyDefinition> properties;
  int line = 0;
};

struct MofDocument {
  std::vector<MofClass> classes;
  // Their aliases are unique in the document and left unresolved.
  std::vector<MofInstance> instances;
};

// The classes and instances declared in text, each in order. Without a
// pragma the namespace is root\cimv2.
MofDocument parseMof(std::string_view text, const std::string& fileName);

}  // namespace wmihost
