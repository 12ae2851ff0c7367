#include "host/cim/ObjectPath.h"

#include <algorithm>
#include <vector>

#include "common/text/AsciiCase.h"
#include "host/cim/MofValue.h"
#include "host/cim/WbemObject.h"

namespace wmihost {

using qrv::text::toLowerAscii;

std::optional<std::string> relativePath(const WbemObject& object) {
  const ClassDefinition& definition = object.definition();
  if (!object.isInstance()) return definition.name;
  std::vector<std::pair<std::string, std::string>> keys;
  for (std::size_t i = 0; i < definition.properties.size(); ++i) {
    const PropertyDefinition& property = definition.properties[i];
    if (!property.key) continue;
    if (object.value(i).vt == VT_NULL) return std::nullopt;
    keys.emplace_back(property.name, mofValueText(property.type, object.value(i)));
  }
  if (keys.empty()) return definition.name + "=@";
  std::sort(keys.begin(), keys.end(),
            [](const auto& a, const auto& b) { return toLowerAscii(a.first) < toLowerAscii(b.first); });
  std::string path = definition.name + ".";
  for (std::size_t i = 0; i < keys.size(); ++i) {
    path += (i ? "," : "") + keys[i].first + "=" + keys[i].second;
  }
  return path;
}

}  // namespace wmihost
