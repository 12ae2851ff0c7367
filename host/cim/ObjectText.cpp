#include "host/cim/ObjectText.h"

#include "host/cim/CimTypes.h"
#include "host/cim/MofValue.h"
#include "host/cim/SystemProperties.h"
#include "host/cim/WbemObject.h"

namespace wmihost {

namespace {

std::string propertyDeclaration(const PropertyDefinition& property) {
  return std::string(property.key ? "[key] " : "") + mofTypeName(scalarOf(property.type), property.referencedClass) +
         " " + property.name + (isArray(property.type) ? "[]" : "");
}

std::string heading(const WbemObject& object) {
  const ClassDefinition& definition = object.definition();
  if (object.isInstance()) return "instance of " + definition.name;
  return "class " + definition.name + (definition.superclass.empty() ? "" : " : " + definition.superclass);
}

}  // namespace

std::string objectText(const WbemObject& object, const std::vector<std::string_view>& systemProperties) {
  const ClassDefinition& definition = object.definition();
  std::string text = "\n" + heading(object) + "\n{\n";
  for (const std::string_view name : systemProperties) {
    text += "\t" + std::string(name) + " = " +
            mofValueText(systemPropertyType(name), *systemPropertyValue(object, name)) + ";\n";
  }
  for (std::size_t i = 0; i < definition.properties.size(); ++i) {
    const PropertyDefinition& property = definition.properties[i];
    const bool isSet = object.value(i).vt != VT_NULL;
    if (object.isInstance() && !isSet) continue;
    text += "\t" + (object.isInstance() ? property.name : propertyDeclaration(property));
    if (isSet) text += " = " + mofValueText(property.type, object.value(i));
    text += ";\n";
  }
  return text + "};\n";
}

}  // namespace wmihost
