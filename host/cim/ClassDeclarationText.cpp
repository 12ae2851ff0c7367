#include "host/cim/ClassDeclarationText.h"

#include "host/cim/CimTypes.h"

namespace wmihost {

namespace {

// "[name, name(value)] ", or nothing for no qualifiers.
std::string qualifierList(const std::vector<MofQualifier>& qualifiers) {
  std::string text;
  for (const MofQualifier& qualifier : qualifiers) {
    text += (text.empty() ? "[" : ", ") + qualifier.name + qualifier.mofText;
  }
  return text.empty() ? text : text + "] ";
}

std::string keyNames(const ClassDefinition& definition) {
  std::string names;
  for (const PropertyDefinition& property : definition.properties) {
    if (property.key) names += (names.empty() ? "" : ", ") + property.name;
  }
  return names.empty() ? "none" : names;
}

std::string propertyLine(const ClassDefinition& definition, const PropertyDefinition& property) {
  std::string line = "\t" + qualifierList(property.qualifiers) +
                     mofTypeName(scalarOf(property.type), property.referencedClass) + " " + property.name +
                     (isArray(property.type) ? "[]" : "") + ";";
  if (property.origin != definition.name) line += "  // from " + property.origin;
  return line + "\n";
}

}  // namespace

std::string classDeclarationText(const ClassDefinition& definition) {
  std::string text = "// " + definition.name + " of " + definition.nameSpace + ", declared at " + definition.place +
                     "\n// keys: " + keyNames(definition) + "\n";
  if (!definition.qualifiers.empty()) {
    text += qualifierList(definition.qualifiers);
    text.back() = '\n';
  }
  text += "class " + definition.name + (definition.superclass.empty() ? "" : " : " + definition.superclass) + "\n{\n";
  for (const PropertyDefinition& property : definition.properties) text += propertyLine(definition, property);
  return text + "};\n";
}

}  // namespace wmihost
