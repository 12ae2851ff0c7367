#include "host/query/PathIdentity.h"

#include <algorithm>
#include <tuple>

#include "common/text/AsciiCase.h"
#include "host/cim/CimTypes.h"
#include "host/cim/MofValue.h"
#include "host/cim/ObjectPathParser.h"

namespace wmihost {

using qrv::text::equalsIgnoringAsciiCase;
using qrv::text::toLowerAscii;
using qrv::text::toUpperAscii;

namespace {

// A key's value as the path writes it, without its quotes and escapes.
std::string valueOf(const std::string& written) {
  if (written.empty() || (written.front() != '"' && written.front() != '\'')) {
    const bool isBoolean = equalsIgnoringAsciiCase(written, "TRUE") || equalsIgnoringAsciiCase(written, "FALSE");
    return isBoolean ? toUpperAscii(written) : written;
  }
  // In double quotes a backslash takes the next character as it is; in
  // single quotes only before a single quote or a backslash.
  const bool single = written.front() == '\'';
  std::string value;
  for (std::size_t at = 1; at + 1 < written.size(); ++at) {
    const char next = at + 2 < written.size() ? written[at + 1] : '\0';
    if (written[at] == '\\' && (!single || next == '\'' || next == '\\')) ++at;
    value += written[at];
  }
  return value;
}

// A stored key value in the terms of valueOf: text as it is, numbers and
// booleans as a path writes them.
std::string valueOf(CIMTYPE type, const VARIANT& stored) {
  return stored.vt == VT_BSTR ? storedText(stored) : mofValueText(type, stored);
}

// The name of the class's only key; empty when it has none or several.
std::string onlyKeyOf(const ClassRepository& repository, std::string_view nameSpace, const std::string& className) {
  const auto definition = repository.find(nameSpace, className);
  if (!definition) return {};
  std::vector<std::string> keys;
  for (const PropertyDefinition& property : definition->properties) {
    if (property.key) keys.push_back(property.name);
  }
  return keys.size() == 1 ? keys.front() : std::string();
}

}  // namespace

std::optional<PathIdentity> PathIdentity::ofPath(std::string_view path, const ClassRepository& repository,
                                                 std::string_view nameSpace) {
  ObjectPath parsed;
  try {
    parsed = parseObjectPath(path);
  } catch (const ObjectPathError&) {
    return std::nullopt;
  }
  PathIdentity identity;
  identity.className_ = parsed.className;
  identity.classKey_ = toLowerAscii(parsed.className);
  identity.instance_ = parsed.singletonPosition != 0 || !parsed.keys.empty();
  for (const ObjectPathKey& key : parsed.keys) {
    const std::string name = key.name.empty() ? onlyKeyOf(repository, nameSpace, parsed.className) : key.name;
    identity.keys_.emplace_back(toLowerAscii(name), valueOf(key.value));
  }
  identity.sortKeys();
  return identity;
}

std::optional<PathIdentity> PathIdentity::ofObject(const WbemObject& object) {
  const ClassDefinition& definition = object.definition();
  PathIdentity identity;
  identity.className_ = definition.name;
  identity.classKey_ = toLowerAscii(definition.name);
  identity.instance_ = object.isInstance();
  for (std::size_t i = 0; identity.instance_ && i < definition.properties.size(); ++i) {
    const PropertyDefinition& property = definition.properties[i];
    if (!property.key) continue;
    if (object.value(i).vt == VT_NULL) return std::nullopt;
    identity.keys_.emplace_back(toLowerAscii(property.name), valueOf(property.type, object.value(i)));
  }
  identity.sortKeys();
  return identity;
}

void PathIdentity::sortKeys() { std::sort(keys_.begin(), keys_.end()); }

bool PathIdentity::operator==(const PathIdentity& other) const {
  return std::tie(classKey_, instance_, keys_) == std::tie(other.classKey_, other.instance_, other.keys_);
}

bool PathIdentity::operator<(const PathIdentity& other) const {
  return std::tie(classKey_, instance_, keys_) < std::tie(other.classKey_, other.instance_, other.keys_);
}

}  // namespace wmihost
