#include "host/cli/ShownValue.h"

#include <algorithm>

#include "host/cim/SystemProperties.h"
#include "host/cim/WbemObject.h"

namespace wmihost {

std::vector<ShownValue> shownValues(const WbemObject& object, const std::vector<std::string_view>& systemProperties) {
  std::vector<std::string_view> system = systemProperties;
  if (!object.isInstance() && std::find(system.begin(), system.end(), "__CLASS") == system.end()) {
    system.insert(system.begin(), "__CLASS");
  }
  std::vector<ShownValue> shown;
  for (const std::string_view name : system) {
    shown.push_back({std::string(name), systemPropertyType(name), systemPropertyValue(object, name)});
  }
  const auto& properties = object.definition().properties;
  for (std::size_t i = 0; i < properties.size(); ++i) {
    shown.push_back({properties[i].name, properties[i].type, qrv::com::Variant(object.value(i))});
  }
  return shown;
}

}  // namespace wmihost
