#pragma once
// A CIM class as the repository holds it: its name, its namespace, its base
// class, the provider it names and its properties, inherited ones first.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/com/TextConversion.h"
#include "common/com/WmiSdk.h"

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
};

struct ClassDefinition {
  std::string name;
  // Empty for a class without a base.
  std::string superclass;
  // Canonical form, such as root\cimv2.
  std::string nameSpace;
  // The value of the class's own provider qualifier; empty when it has none.
  std::string provider;
  // Where it is declared: "korvex.mof:12".
  std::string place;
  std::vector<PropertyDefinition> properties;

  // The position of a property, found by name ignoring case.
  std::optional<std::size_t> indexOf(std::string_view propertyName) const;
  std::optional<std::size_t> indexOf(qrv::com::WideTextView propertyName) const;
};

}  // namespace wmihost
