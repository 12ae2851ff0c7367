#include "host/system_properties.h"

#include "host/text.h"

namespace wmihost {

std::optional<std::string_view> systemPropertyName(std::u16string_view name) {
  for (std::string_view known : kSystemProperties) {
    if (equalsIgnoreCase(name, known)) return known;
  }
  return std::nullopt;
}

CIMTYPE systemPropertyType(std::string_view canonicalName) {
  return canonicalName == "__GENUS" ? CIM_SINT32 : CIM_STRING;
}

}  // namespace wmihost
