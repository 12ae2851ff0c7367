#pragma once
// A CIM class as the repository holds it: its name, its namespace, its base
// classes, its qualifiers, the provider it names and its properties, inherited
// ones first.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/com/TextConversion.h"
#include "common/com/WmiSdk.h"
#include "host/cim/MofQualifier.h"

namespace wmihost {

struct PropertyDefinition {
  std::string name;
  // The CIM type, with CIM_FLAG_ARRAY for an array property.
  CIMTYPE type = CIM_EMPTY;
  // The class a reference points to; empty for other types.
  std::string referencedClass;
  bool key = false;
  // The class that declares the property.
  std::string origin;
  // Its qualifiers, key among them: those of its declarations along the
  // class's bases that pass to subclasses, and those of the class's own,
  // the nearest declaration's value winning.
  std::vector<MofQualifier> qualifiers;
};

struct ClassDefinition {
  std::string name;
  // Empty for a class without a base.
  std::string superclass;
  // Every base class, nearest first: superclass, its base, and so on.
  std::vector<std::string> derivation;
  // Canonical form, such as root\cimv2.
  std::string nameSpace;
  // The value of the class's own provider qualifier; empty when it has none.
  std::string provider;
  // Where it is declared: "korvex.mof:12".
  std::string place;
  // The qualifiers of the class and those it inherits from its base classes
  // (all but Abstract and the Restricted flavor), each once, its own first;
  // a qualifier written FALSE is not among them.
  std::vector<MofQualifier> qualifiers;
  std::vector<PropertyDefinition> properties;

  // Whether the class is className or derives from it, names compared
  // ignoring case.
  bool isA(std::string_view className) const;
  // Whether the class or a base class carries the qualifier, found ignoring
  // case.
  bool hasQualifier(std::string_view qualifierName) const;

  // The position of a property, found by name ignoring case.
  std::optional<std::size_t> indexOf(std::string_view propertyName) const;
  std::optional<std::size_t> indexOf(qrv::com::WideTextView propertyName) const;
};

}  // namespace wmihost
