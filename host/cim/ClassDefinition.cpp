#include "host/cim/ClassDefinition.h"

#include <algorithm>

#include "common/text/AsciiCase.h"

namespace wmihost {

using qrv::text::equalsIgnoringAsciiCase;

namespace {

bool containsName(const std::vector<std::string>& names, std::string_view name) {
  for (const std::string& candidate : names) {
    if (equalsIgnoringAsciiCase(candidate, name)) return true;
  }
  return false;
}

template <typename Name>
std::optional<std::size_t> positionOf(const std::vector<PropertyDefinition>& properties, Name name) {
  for (std::size_t i = 0; i < properties.size(); ++i) {
    // The length rules out most properties before their letters are compared.
    if (properties[i].name.size() == name.size() && equalsIgnoringAsciiCase(name, properties[i].name)) return i;
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::size_t> ClassDefinition::indexOf(std::string_view propertyName) const {
  return positionOf(properties, propertyName);
}

std::optional<std::size_t> ClassDefinition::indexOf(qrv::com::WideTextView propertyName) const {
  return positionOf(properties, propertyName);
}

bool ClassDefinition::isA(std::string_view className) const {
  return equalsIgnoringAsciiCase(name, className) || containsName(derivation, className);
}

bool ClassDefinition::hasQualifier(std::string_view qualifierName) const {
  return std::any_of(qualifiers.begin(), qualifiers.end(), [qualifierName](const MofQualifier& qualifier) {
    return equalsIgnoringAsciiCase(qualifier.name, qualifierName);
  });
}

}  // namespace wmihost
