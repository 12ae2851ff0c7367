#pragma once
// An instance as a MOF file declares it:
//   instance of __Win32Provider as $Provider { Name = "qrvcim"; ... };
// with the values of its properties as written: text, numbers, TRUE and
// FALSE, NULL, arrays of them in braces, and references to other
// instances of the file by their alias.

#include <string>
#include <string_view>
#include <vector>

namespace wmihost {

struct MofInstance;

// The value that a declaration gives a property.
struct MofInitializer {
  enum class Kind { Null, Text, Number, Boolean, Alias, Array };
  Kind kind = Kind::Null;
  // The text with its escapes resolved, the number as written, or the
  // alias's name without its '$'.
  std::string text;
  bool boolean = false;
  // An array's elements, none of them an array or an alias.
  std::vector<MofInitializer> elements;
  // The instance an alias names, once the repository has found it in the
  // file; null before.
  const MofInstance* instance = nullptr;
};

struct MofPropertyValue {
  std::string name;
  MofInitializer value;
  int line = 0;
};

struct MofInstance {
  std::string nameSpace;
  std::string className;
  // Empty when the declaration gives none.
  std::string alias;
  std::vector<MofPropertyValue> properties;
  // Where it is declared.
  std::string file;
  int line = 0;

  // "korvex.mof:6".
  std::string place() const { return file + ":" + std::to_string(line); }

  // The value given to the property, found by name ignoring case; null when
  // the declaration gives it none.
  const MofInitializer* value(std::string_view propertyName) const;
};

}  // namespace wmihost
