#include "host/cim/ObjectPathClassCheck.h"

#include <algorithm>
#include <string>
#include <vector>

#include "common/text/AsciiCase.h"

namespace wmihost {

namespace {

std::vector<std::string> keyNames(const ClassDefinition& definition) {
  std::vector<std::string> names;
  for (const PropertyDefinition& property : definition.properties) {
    if (property.key) names.push_back(property.name);
  }
  return names;
}

std::string joined(const std::vector<std::string>& names) {
  std::string text;
  for (std::size_t i = 0; i < names.size(); ++i) text += (i ? ", " : "") + names[i];
  return text;
}

// "no key", "the key DeviceID" or "2 keys: Name, Architecture".
std::string describeKeys(const std::vector<std::string>& names) {
  if (names.empty()) return "no key";
  if (names.size() == 1) return "the key " + names.front();
  return std::to_string(names.size()) + " keys: " + joined(names);
}

// One past the last character of the keys of a path: where a missing key
// would go. Paths hold no blanks outside quotes, so each key ends after its
// name, its "=" and its value as written.
std::size_t endOfKeys(const ObjectPath& path) {
  const ObjectPathKey& last = path.keys.back();
  return last.position + (last.name.empty() ? 0 : last.name.size() + 1) + last.value.size();
}

// The keys of the class that the keys of the path do not name.
std::vector<std::string> missingKeys(const ObjectPath& path, const std::vector<std::string>& keys) {
  if (path.keys.size() == 1 && path.keys.front().name.empty()) return {};
  std::vector<std::string> missing;
  for (const std::string& key : keys) {
    const bool named = std::any_of(path.keys.begin(), path.keys.end(), [&key](const ObjectPathKey& given) {
      return qrv::text::equalsIgnoringAsciiCase(given.name, key);
    });
    if (!named) missing.push_back(key);
  }
  return missing;
}

void checkEveryKeyNamed(const ObjectPath& path, const ClassDefinition& definition,
                        const std::vector<std::string>& keys) {
  const std::vector<std::string> missing = missingKeys(path, keys);
  if (missing.empty()) return;
  throw ObjectPathError(endOfKeys(path), "the path lacks the key" + std::string(missing.size() == 1 ? " " : "s ") +
                                             joined(missing) + "; a path names every key of " + definition.name +
                                             ": " + joined(keys));
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
  if (!path.keys.empty()) checkEveryKeyNamed(path, definition, keys);
}

}  // namespace wmihost
