#include "host/cim/SystemProperties.h"

#include "common/text/AsciiCase.h"
#include "host/cim/ComputerName.h"
#include "host/cim/ObjectPath.h"
#include "host/cim/SafeArrayElements.h"
#include "host/cim/WbemObject.h"

namespace wmihost {

using qrv::com::Variant;
using qrv::com::toWide;
using qrv::text::equalsIgnoringAsciiCase;

namespace {

template <typename Name>
std::optional<std::string_view> canonicalOf(Name name) {
  // Every system property's name starts with "__": most names are ruled out at once.
  if (name.size() < 2 || name[0] != '_' || name[1] != '_') return std::nullopt;
  for (std::string_view known : kSystemProperties) {
    if (equalsIgnoringAsciiCase(name, known)) return known;
  }
  return std::nullopt;
}

Variant textValue(const std::string& text) { return Variant::text(toWide(text)); }

Variant integerValue(LONG number) {
  Variant value;
  value.put()->vt = VT_I4;
  value.get()->lVal = number;
  return value;
}

Variant textArrayValue(const std::vector<std::string>& texts) {
  SAFEARRAY* array = newTextArray(texts);
  if (!array) return Variant::null();
  Variant value;
  value.put()->vt = VT_ARRAY | VT_BSTR;
  value.get()->parray = array;
  return value;
}

std::optional<std::string> fullPath(const WbemObject& object) {
  const auto path = relativePath(object);
  if (!path) return std::nullopt;
  return "\\\\" + computerName() + "\\" + object.definition().nameSpace + ":" + *path;
}

Variant textOrNull(const std::optional<std::string>& text) { return text ? textValue(*text) : Variant::null(); }

}  // namespace

std::optional<std::string_view> systemPropertyName(qrv::com::WideTextView name) { return canonicalOf(name); }

std::optional<std::string_view> systemPropertyName(std::string_view name) { return canonicalOf(name); }

CIMTYPE systemPropertyType(std::string_view canonicalName) {
  if (canonicalName == "__GENUS" || canonicalName == "__PROPERTY_COUNT") return CIM_SINT32;
  return canonicalName == "__DERIVATION" ? CIM_STRING | CIM_FLAG_ARRAY : CIM_STRING;
}

Variant systemPropertyValue(const WbemObject& object, std::string_view canonicalName) {
  const ClassDefinition& definition = object.definition();
  if (canonicalName == "__GENUS") return integerValue(object.isInstance() ? WBEM_GENUS_INSTANCE : WBEM_GENUS_CLASS);
  if (canonicalName == "__CLASS") return textValue(definition.name);
  if (canonicalName == "__SUPERCLASS") {
    return definition.superclass.empty() ? Variant::null() : textValue(definition.superclass);
  }
  if (canonicalName == "__DYNASTY") {
    return textValue(definition.derivation.empty() ? definition.name : definition.derivation.back());
  }
  if (canonicalName == "__PROPERTY_COUNT") return integerValue(static_cast<LONG>(definition.properties.size()));
  if (canonicalName == "__DERIVATION") return textArrayValue(definition.derivation);
  if (canonicalName == "__SERVER") return textValue(computerName());
  if (canonicalName == "__NAMESPACE") return textValue(definition.nameSpace);
  if (canonicalName == "__PATH") return textOrNull(fullPath(object));
  return textOrNull(relativePath(object));
}

}  // namespace wmihost
