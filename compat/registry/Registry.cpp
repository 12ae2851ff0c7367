#include "compat/registry/Registry.h"

#include <algorithm>
#include <array>

#include "common/text/AsciiCase.h"

namespace qrv::regfile {

using text::toLowerAscii;

namespace {

constexpr std::array<const char*, 5> kRoots = {"HKEY_LOCAL_MACHINE", "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",
                                               "HKEY_USERS", "HKEY_CURRENT_CONFIG"};

bool hasControlCharacter(const std::string& text) {
  return std::any_of(text.begin(), text.end(), [](unsigned char c) { return c < 0x20 || c == 0x7F; });
}

std::string checkedValueName(const std::string& name) {
  if (hasControlCharacter(name)) throw RegistryError("invalid registry value name (control character): " + name);
  return toLowerAscii(name);
}

}  // namespace

// A validated key path: its display form, its lookup form and its depth.
struct Registry::KeyPath {
  std::string display;
  std::string lookup;
  std::size_t depth = 0;  // 0 for a root

  static KeyPath parse(const std::string& path);
  KeyPath parent() const;
};

Registry::KeyPath Registry::KeyPath::parse(const std::string& path) {
  if (hasControlCharacter(path)) throw RegistryError("invalid registry key path (control character): " + path);
  const std::size_t rootEnd = std::min(path.find('\\'), path.size());
  const std::string root = toLowerAscii(path.substr(0, rootEnd));
  const auto known =
      std::find_if(kRoots.begin(), kRoots.end(), [&root](const char* r) { return toLowerAscii(r) == root; });
  if (known == kRoots.end()) throw RegistryError("unknown registry root in key path: " + path);

  KeyPath result{*known, "", 0};
  for (std::size_t start = rootEnd; start < path.size();) {
    const std::size_t end = std::min(path.find('\\', start + 1), path.size());
    if (end == start + 1) throw RegistryError("empty key name in registry key path: " + path);
    result.display.append(path, start, end - start);
    ++result.depth;
    start = end;
  }
  result.lookup = toLowerAscii(result.display);
  return result;
}

Registry::KeyPath Registry::KeyPath::parent() const {
  const std::size_t end = display.rfind('\\');
  return {display.substr(0, end), lookup.substr(0, end), depth - 1};
}

namespace {

// The length of the leading key names that two lookup paths share.
std::size_t sharedAncestorLength(const std::string& a, const std::string& b) {
  const auto [endA, endB] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
  const std::size_t common = static_cast<std::size_t>(endA - a.begin());
  const bool atBoundary = (endA == a.end() || *endA == '\\') && (endB == b.end() || *endB == '\\');
  if (atBoundary || common == 0) return common;
  const std::size_t lastSeparator = a.rfind('\\', common - 1);
  return lastSeparator == std::string::npos ? 0 : lastSeparator;
}

}  // namespace

Value textValue(const std::string& text, std::uint32_t type) {
  return normalizedValue(type, std::vector<char>(text.begin(), text.end()));
}

Value dwordValue(std::uint32_t number) {
  std::vector<char> bytes;
  for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<char>((number >> shift) & 0xFF));
  return {kRegDword, bytes};
}

Value normalizedValue(std::uint32_t type, std::vector<char> bytes) {
  if (type == kRegSz || type == kRegExpandSz) {
    bytes.erase(std::find(bytes.begin(), bytes.end(), '\0'), bytes.end());
    bytes.push_back('\0');
  }
  return {type, std::move(bytes)};
}

std::string textOf(const Value& value) {
  return std::string(value.bytes.begin(), std::find(value.bytes.begin(), value.bytes.end(), '\0'));
}

const Value* Registry::Key::value(const std::string& name) const {
  const auto* found = namedValue(name);
  return found ? &found->second : nullptr;
}

const std::pair<std::string, Value>* Registry::Key::namedValue(const std::string& name) const {
  const auto it = positions_.find(toLowerAscii(name));
  return it == positions_.end() ? nullptr : &values_[it->second];
}

void Registry::Key::setValue(const std::string& name, const Value& value) {
  const auto [it, added] = positions_.try_emplace(checkedValueName(name), values_.size());
  Value stored = normalizedValue(value.type, value.bytes);
  if (added) {
    values_.emplace_back(name, std::move(stored));
  } else {
    values_[it->second].second = std::move(stored);
  }
}

bool Registry::Key::deleteValue(const std::string& name) {
  const auto it = positions_.find(toLowerAscii(name));
  if (it == positions_.end()) return false;
  values_.erase(values_.begin() + static_cast<std::ptrdiff_t>(it->second));
  positions_.clear();
  for (std::size_t i = 0; i < values_.size(); ++i) positions_.emplace(toLowerAscii(values_[i].first), i);
  return true;
}

Registry::Key* Registry::find(const std::string& lookup) {
  const auto it = keys_.find(lookup);
  return it == keys_.end() ? nullptr : &it->second;
}

const Registry::Key* Registry::find(const std::string& lookup) const {
  const auto it = keys_.find(lookup);
  return it == keys_.end() ? nullptr : &it->second;
}

bool Registry::hasDescendant(const std::string& lookup) const {
  const std::string prefix = lookup + '\\';
  const auto it = keys_.lower_bound(prefix);
  return it != keys_.end() && it->first.compare(0, prefix.size(), prefix) == 0;
}

Registry::Key& Registry::add(const KeyPath& key) {
  const auto next = keys_.lower_bound(key.lookup);
  if (next != keys_.end() && next->first == key.lookup) return next->second;
  // The ancestors it shares with keys already there keep the case they were
  // first written in; a neighbour in sorted order shares the most of them.
  std::string display = key.display;
  const auto adopt = [&display, &key](const std::pair<const std::string, Key>& neighbour) {
    const std::size_t shared = sharedAncestorLength(neighbour.first, key.lookup);
    display.replace(0, shared, neighbour.second.path(), 0, shared);
  };
  if (next != keys_.end()) adopt(*next);
  if (next != keys_.begin()) adopt(*std::prev(next));
  return keys_.emplace_hint(next, key.lookup, Key(display))->second;
}

bool Registry::hasKey(const std::string& path) const {
  const KeyPath key = KeyPath::parse(path);
  return key.depth == 0 || find(key.lookup) != nullptr || hasDescendant(key.lookup);
}

const Registry::Key* Registry::key(const std::string& path) const { return find(KeyPath::parse(path).lookup); }

Registry::Key& Registry::createKey(const std::string& path) { return add(KeyPath::parse(path)); }

bool Registry::deleteKey(const std::string& path) {
  const KeyPath key = KeyPath::parse(path);
  if (key.depth == 0) throw RegistryError("a registry root cannot be deleted: " + key.display);
  const bool stored = keys_.erase(key.lookup) != 0;
  // Subkeys sort together, though not always right after their parent.
  const std::string prefix = key.lookup + '\\';
  const auto first = keys_.lower_bound(prefix);
  auto last = first;
  while (last != keys_.end() && last->first.compare(0, prefix.size(), prefix) == 0) ++last;
  if (!stored && first == last) return false;
  keys_.erase(first, last);
  // The parent may have been there only as this key's ancestor.
  if (key.depth > 1 && !hasKey(key.parent().display)) add(key.parent());
  return true;
}

std::vector<std::string> Registry::subkeys(const std::string& path) const {
  const std::string prefix = KeyPath::parse(path).lookup + '\\';
  std::map<std::string, std::string> names;  // by lower-case name
  for (auto it = keys_.lower_bound(prefix); it != keys_.end() && it->first.compare(0, prefix.size(), prefix) == 0;
       ++it) {
    const std::size_t end = it->first.find('\\', prefix.size());
    const std::size_t length = end == std::string::npos ? std::string::npos : end - prefix.size();
    names.try_emplace(it->first.substr(prefix.size(), length), it->second.path().substr(prefix.size(), length));
  }
  std::vector<std::string> result;
  for (auto& entry : names) result.push_back(std::move(entry.second));
  return result;
}

std::vector<std::string> Registry::valueNames(const std::string& path) const {
  std::vector<std::string> names;
  if (const Key* key = find(KeyPath::parse(path).lookup)) {
    for (const auto& v : key->values()) names.push_back(v.first);
  }
  return names;
}

std::optional<Value> Registry::value(const std::string& keyPath, const std::string& name) const {
  const Key* key = find(KeyPath::parse(keyPath).lookup);
  const Value* found = key ? key->value(name) : nullptr;
  return found ? std::optional<Value>(*found) : std::nullopt;
}

bool Registry::setValue(const std::string& keyPath, const std::string& name, const Value& value) {
  checkedValueName(name);
  const KeyPath path = KeyPath::parse(keyPath);
  Key* key = find(path.lookup);
  if (!key && path.depth != 0 && !hasDescendant(path.lookup)) return false;
  if (!key) key = &add(path);
  key->setValue(name, value);
  return true;
}

bool Registry::deleteValue(const std::string& keyPath, const std::string& name) {
  Key* key = find(KeyPath::parse(keyPath).lookup);
  return key && key->deleteValue(name);
}

std::vector<const Registry::Key*> Registry::keysToWrite() const {
  std::vector<const Key*> written;
  for (const auto& [lookup, key] : keys_) {
    const bool root = lookup.find('\\') == std::string::npos;
    if (!key.values().empty() || (!root && !hasDescendant(lookup))) written.push_back(&key);
  }
  return written;
}

}  // namespace qrv::regfile
