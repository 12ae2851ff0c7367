#include <algorithm>
#include <string_view>

#include "provider/request/document/RequestAttributes.h"

#include "provider/diagnostic/Diagnostic.h"
#include "provider/request/document/ArrayElementXml.h"
#include "provider/request/text/EscapeXml.h"

namespace qrv::cim {

namespace {

// One Required or Optional entry; a value starting with "{" is an array.
void appendEntry(std::string& list, std::string_view kind, const std::string& name, const std::string& value) {
  list += '<';
  list += kind;
  list += " name=\"";
  list += escapeXml(name);
  if (!value.empty() && value.front() == '{') {
    list += "\">";
    list += writeArrayElements(value);
    list += "</";
    list += kind;
    list += '>';
  } else {
    list += "\" value=\"";
    list += escapeXml(value);
    list += "\" />";
  }
}

bool sameIgnoringCase(std::string_view a, std::string_view b) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [&](char x, char y) { return lower(x) == lower(y); });
}

// The key value for an attribute: WMI's key names do not depend on letter
// case, so an exact match comes first and any spelling of the name after it.
KeyValues::const_iterator findKey(const KeyValues& keys, const std::string& name) {
  const auto exact = keys.find(name);
  if (exact != keys.end()) return exact;
  return std::find_if(keys.begin(), keys.end(), [&](const auto& key) { return sameIgnoringCase(key.first, name); });
}

// "Name (written as PackageName)", or the name alone.
std::string describeKey(const Attribute& attribute) {
  return attribute.altName().empty() ? attribute.name()
                                     : attribute.name() + " (written as " + attribute.altName() + ")";
}

std::string givenKeys(const KeyValues& keys) {
  std::string names;
  for (const auto& key : keys) names += (names.empty() ? "" : ", ") + key.first;
  return names.empty() ? "none" : names;
}

}  // namespace

RequestStatus writeRequestAttributes(const ClassMap& classMap, const KeyValues& keyValues, std::string& document) {
  // Each key value is used once: a later attribute of the same name finds
  // nothing.
  KeyValues unused = keyValues;
  std::string required;
  std::string optional;
  bool missingKey = false;
  for (const Attribute& attribute : classMap.attributes()) {
    const auto key = findKey(unused, attribute.name());
    if (key == unused.end()) {
      if (attribute.required()) {
        diagnose([&] { return "a get of " + classMap.className() + " lacks the required key " + describeKey(attribute) +
                              "; the path gives: " + givenKeys(keyValues); });
      }
      missingKey = missingKey || attribute.required();
      continue;
    }
    const std::string& entryName = attribute.altName().empty() ? attribute.name() : attribute.altName();
    if (attribute.required()) {
      appendEntry(required, "Required", entryName, key->second);
    } else {
      appendEntry(optional, "Optional", entryName, key->second);
    }
    unused.erase(key);
  }
  if (missingKey) return MissingKey;
  document += "<Attributes>";
  document += required;
  document += optional;
  document += "</Attributes>";
  return Ok;
}

}  // namespace qrv::cim
