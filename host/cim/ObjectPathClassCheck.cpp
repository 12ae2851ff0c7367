#include "host/cim/ObjectPathClassCheck.h"

#include <string>
#include <vector>

namespace wmihost {

namespace {

std::vector<std::string> keyNames(const ClassDefinition& definition) {
  std::vector<std::string> names;
  for (const PropertyDefinition& property : definition.properties) {
    if (property.key) names.push_back(property.name);
  }
  return names;
}

// "no key", "the key DeviceID" or "2 keys: Name, Architecture".
std::string describeKeys(const std::vector<std::string>& names) {
  if (names.empty()) return "no key";
  if (names.size() == 1) return "the key " + names.front();
  std::string text = std::to_string(names.size()) + " keys: ";
  for (std::size_t i = 0; i < names.size(); ++i) text += (i ? ", " : "") + names[i];
  return text;
}

}  // namespace

void checkKeysOfClass(const ObjectPath& path, const ClassDefinition& definition) {
  const std::vector<std::string> keys = keyNames(definition);
  if (path.singletonPosition && !keys.empty()) {
    throw ObjectPathError(path.singletonPosition, "@ names the instance of a class without keys, and " +
                                                      definition.name + " has " + describeKeys(keys));
  }
  for (const ObjectPathKey& key : path.keys) {
    if (key.name.empty() && keys.size() != 1) {
      throw ObjectPathError(key.position, "a value without a key name needs a class with one key, and " +
                                              definition.name + " has " + describeKeys(keys));
    }
    if (!key.name.empty() && !definition.indexOf(key.name)) {
      throw ObjectPathError(key.position, key.name + " is no property of " + definition.name);
    }
  }
}

}  // namespace wmihost
