#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "provider/request/model/KeyValues.h"

namespace qrv::cim {

// An object path as a get reads it, in every form WMI writes:
//   [\\server\namespace: | namespace:] Class [.Key=value,... | =value | =@]
// with "/" for any "\". A name that ends at the first ':' before any '.',
// '=' or quote is the namespace; the class name ends at the first '.', '='
// or ':'. Reading never fails: what the path lacks is empty.
struct ObjectPathParts {
  std::string server;
  std::string nameSpace;
  std::string className;
  // Class.Key1="v1",Key2='v2',Key3=v3. A value in double or single quotes
  // runs from after its opening quote to the next pair of the same quote and
  // a comma whose quote is not escaped, or to just before the path's last
  // character, and reads a backslash before its quote or before a backslash
  // as that character. An unquoted value runs to the next "," and is taken
  // as it stands. Keys are not trimmed, and the first value of a key is kept.
  KeyValues keys;
  // Class=value, its value read as a key's value is.
  std::optional<std::string> unnamedValue;
  // Class=@
  bool singleton = false;
};

ObjectPathParts readObjectPath(std::string_view path);

// Whether a path's server names this machine: none, ".", "localhost" or
// `hostName`, letter case aside.
bool isThisMachine(std::string_view server, std::string_view hostName);

// Whether two names name one namespace: letter case aside, "/" read as "\",
// separators at either end left out.
bool isSameNamespace(std::string_view a, std::string_view b);

// The keys of a path by name, for a class whose registration requires the
// keys `requiredKeys`: the path's named keys as they stand; the value of
// Class=value under the name of the one required key; none for Class=@. No
// keys at all when the form does not fit the class: Class=value of a class
// that requires other than one key, or Class=@ of one that requires any.
std::optional<KeyValues> keysByName(const ObjectPathParts& path, const std::vector<std::string>& requiredKeys);

// Whether every key name and value can stand in the request document: none
// holds a control character, which XML either forbids or (tab, line feed,
// carriage return in an attribute) reads back as a space, nor U+FFFE or
// U+FFFF, which XML forbids.
bool keysFitTheRequestDocument(const KeyValues& keys);

}  // namespace qrv::cim
