#pragma once
// A qualifier of a class or a property as MOF declares it.

#include <string>

namespace wmihost {

struct MofQualifier {
  std::string name;
  // Whether subclasses have it too.
  bool inherited = true;
  // Its value as written, for a qualifier with one: provider("qrvcim").
  std::string value;
  // Every value as MOF writes it, with its parentheses or braces:
  // ("qrvcim"), (2), {"a", "b"}; empty for a qualifier without a value.
  std::string mofText;
};

}  // namespace wmihost
