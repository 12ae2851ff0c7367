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

// A validated key path: its display form, its lookup form and its depth.
struct KeyPath {
  std::string display;
  std::string lookup;
  std::size_t depth = 0;  // 0 for a root
};

KeyPath parseKeyPath(const std::string& path) {
  if (hasControlCharacter(path)) throw RegistryError("invalid registry key path (control character): " + path);
  const std::size_t rootEnd = std::min(path.find('\\'), path.size());
  const std::string root = toLowerAscii(path.substr(0, rootEnd));
  const auto known =
      std::find_if(kRoots.begin(), kRoots.end(), [&root](const char* r) { return toLowerAscii(r) == root; });
  if (known == kRoots.end()) throw RegistryError("unknown registry root in key path: " + path);

  KeyPath result{*known, "", 0};
  for (std::size_t start = rootEnd; start < path.size();) {
    const std::size_t end = std::min(path.find('\\', start + 1), path.size());
    const std::string name = path.substr(start + 1, end - start - 1);
    if (name.empty()) throw RegistryError("empty key name in registry key path: " + path);
    result.display += '\\' + name;
    ++result.depth;
    start = end;
  }
  result.lookup = toLowerAscii(result.display);
  return result;
}

void checkValueName(const std::string& name) {
  if (hasControlCharacter(name)) throw RegistryError("invalid registry value name (control character): " + name);
}

auto findValue(std::vector<std::pair<std::string, Value>>& values, const std::string& name) {
  const std::string wanted = toLowerAscii(name);
  return std::find_if(values.begin(), values.end(),
                      [&wanted](const auto& v) { return toLowerAscii(v.first) == wanted; });
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

Registry::Key* Registry::find(const std::string& path) {
  const auto it = keys_.find(parseKeyPath(path).lookup);
  return it == keys_.end() ? nullptr : &it->second;
}

const Registry::Key* Registry::find(const std::string& path) const {
  const auto it = keys_.find(parseKeyPath(path).lookup);
  return it == keys_.end() ? nullptr : &it->second;
}

bool Registry::hasKey(const std::string& path) const {
  return parseKeyPath(path).depth == 0 || find(path) != nullptr;
}

void Registry::createKey(const std::string& path) {
  const KeyPath key = parseKeyPath(path);
  for (std::size_t end = 0; end != std::string::npos;) {
    end = key.display.find('\\', end + 1);
    const std::string prefix = key.display.substr(0, end);
    keys_.try_emplace(toLowerAscii(prefix), Key{prefix, {}});
  }
}

bool Registry::deleteKey(const std::string& path) {
  const KeyPath key = parseKeyPath(path);
  if (key.depth == 0) throw RegistryError("a registry root cannot be deleted: " + key.display);
  if (keys_.erase(key.lookup) == 0) return false;
  // Subkeys sort together, though not always right after their parent.
  const std::string prefix = key.lookup + '\\';
  const auto first = keys_.lower_bound(prefix);
  auto last = first;
  while (last != keys_.end() && last->first.compare(0, prefix.size(), prefix) == 0) ++last;
  keys_.erase(first, last);
  return true;
}

std::vector<std::string> Registry::subkeys(const std::string& path) const {
  const std::string prefix = parseKeyPath(path).lookup + '\\';
  std::vector<std::string> names;
  for (auto it = keys_.lower_bound(prefix); it != keys_.end() && it->first.compare(0, prefix.size(), prefix) == 0;
       ++it) {
    if (it->first.find('\\', prefix.size()) == std::string::npos) names.push_back(it->second.path.substr(prefix.size()));
  }
  return names;
}

std::vector<std::string> Registry::valueNames(const std::string& path) const {
  std::vector<std::string> names;
  if (const Key* key = find(path)) {
    for (const auto& v : key->values) names.push_back(v.first);
  }
  return names;
}

std::optional<Value> Registry::value(const std::string& keyPath, const std::string& name) const {
  const Key* key = find(keyPath);
  if (!key) return std::nullopt;
  const std::string wanted = toLowerAscii(name);
  for (const auto& v : key->values) {
    if (toLowerAscii(v.first) == wanted) return v.second;
  }
  return std::nullopt;
}

bool Registry::setValue(const std::string& keyPath, const std::string& name, const Value& value) {
  checkValueName(name);
  if (parseKeyPath(keyPath).depth == 0) createKey(keyPath);
  Key* key = find(keyPath);
  if (!key) return false;
  const Value stored = normalizedValue(value.type, value.bytes);
  const auto it = findValue(key->values, name);
  if (it != key->values.end()) {
    it->second = stored;
  } else {
    key->values.emplace_back(name, stored);
  }
  return true;
}

bool Registry::deleteValue(const std::string& keyPath, const std::string& name) {
  Key* key = find(keyPath);
  if (!key) return false;
  const auto it = findValue(key->values, name);
  if (it == key->values.end()) return false;
  key->values.erase(it);
  return true;
}

}  // namespace qrv::regfile
