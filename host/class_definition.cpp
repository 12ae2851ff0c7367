#include "host/class_definition.h"

#include "host/text.h"

namespace wmihost {

std::optional<std::size_t> ClassDefinition::indexOf(std::string_view propertyName) const {
  for (std::size_t i = 0; i < properties.size(); ++i) {
    if (equalsIgnoreCase(properties[i].name, propertyName)) return i;
  }
  return std::nullopt;
}

}  // namespace wmihost
