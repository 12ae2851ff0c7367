#pragma once
// One line of a registration table: a key below HKEY_CLASSES_ROOT, the values
// written into it, and what registration and unregistration do with it. Key
// names and texts may hold replacements written %NAME%.

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qrv::cim {

enum class KeyRule {
  // Created when missing, its values left as they are; never removed.
  kKeep,
  // Created and its values set. Unregistration removes those values, then
  // the key when nothing else is left in it.
  kWrite,
  // Deleted with everything below it, then written afresh. Unregistration
  // deletes it with everything below it.
  kReplaceWhole,
};

struct RegistryEntry {
  std::string key;
  std::optional<std::string> defaultValue;
  std::vector<std::pair<std::string, std::string>> namedValues;
  KeyRule rule = KeyRule::kWrite;
};

// The texts that stand for %NAME% in a table, by NAME.
using Replacements = std::map<std::string, std::string>;

}  // namespace qrv::cim
