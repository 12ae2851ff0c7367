#pragma once
// The registry in memory: keys below the predefined roots, each holding named
// values. Key and value names compare without regard to case, as on Windows.
// RegFormat reads and writes it as .reg text, RegistryFile keeps it in a file.

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace qrv::regfile {

enum ValueType : std::uint32_t { kRegSz = 1, kRegExpandSz = 2, kRegBinary = 3, kRegDword = 4 };

// A value as the ANSI registry functions see it: text types hold their text
// and one terminating NUL, REG_DWORD four little-endian bytes, every other
// type its raw bytes.
struct Value {
  std::uint32_t type = kRegSz;
  std::vector<char> bytes;

  bool operator==(const Value& other) const { return type == other.type && bytes == other.bytes; }
};

// A malformed file, an invalid key path or name, or a refused operation.
class RegistryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A text value of type kRegSz or kRegExpandSz.
Value textValue(const std::string& text, std::uint32_t type = kRegSz);
Value dwordValue(std::uint32_t number);
// Brings bytes given for a type into the stored form: text types are cut at
// their first NUL and get exactly one terminator.
Value normalizedValue(std::uint32_t type, std::vector<char> bytes);
// The text of a text value, without its terminator.
std::string textOf(const Value& value);

class Registry {
 public:
  // One key: its path as first written, and its values in the order set.
  class Key {
   public:
    explicit Key(std::string path) : path_(std::move(path)) {}

    const std::string& path() const { return path_; }
    const std::vector<std::pair<std::string, Value>>& values() const { return values_; }
    const Value* value(const std::string& name) const;
    // The value with its name as stored, or null.
    const std::pair<std::string, Value>* namedValue(const std::string& name) const;
    // Sets or replaces a value (its name keeps the case first written).
    void setValue(const std::string& name, const Value& value);
    bool deleteValue(const std::string& name);

   private:
    std::string path_;
    std::vector<std::pair<std::string, Value>> values_;
    std::unordered_map<std::string, std::size_t> positions_;  // by lower-case name
  };

  // Key paths are full paths: a root (HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT,
  // HKEY_CURRENT_USER, HKEY_USERS, HKEY_CURRENT_CONFIG), then key names
  // separated by single backslashes. Invalid paths throw RegistryError.
  bool hasKey(const std::string& path) const;
  // The key as stored, or null for a key that is missing or there only as
  // an ancestor of others.
  const Key* key(const std::string& path) const;
  // Creates the key and any missing parents; an existing key stays as it is.
  // The key stays valid until it or an ancestor is deleted.
  Key& createKey(const std::string& path);
  // Deletes the key with all its subkeys; false when it does not exist.
  bool deleteKey(const std::string& path);
  // The names of the key's direct subkeys, sorted without regard to case.
  std::vector<std::string> subkeys(const std::string& path) const;
  // The names of the key's values in the order set ("" is the default value).
  std::vector<std::string> valueNames(const std::string& path) const;

  std::optional<Value> value(const std::string& keyPath, const std::string& name) const;
  // Sets or replaces a value; false when the key does not exist.
  bool setValue(const std::string& keyPath, const std::string& name, const Value& value);
  // False when the key or the value does not exist.
  bool deleteValue(const std::string& keyPath, const std::string& name);

  // The keys that hold values or have no subkeys, sorted by path, parents
  // before children: the keys that must be written for the registry to be
  // read back the same. The other keys are there as their ancestors.
  std::vector<const Key*> keysToWrite() const;

 private:
  struct KeyPath;

  Key* find(const std::string& lookup);
  const Key* find(const std::string& lookup) const;
  bool hasDescendant(const std::string& lookup) const;
  Key& add(const KeyPath& key);

  // Only keys created by name or holding values are stored; their ancestors
  // are implied, so a deep key costs memory in proportion to its path.
  std::map<std::string, Key> keys_;  // by lower-case path
};

}  // namespace qrv::regfile
