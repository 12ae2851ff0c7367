#pragma once
// Reads a WMI object path as WMI does before it hands a get to a provider:
//   Class                          the class itself
//   Class.Key="text",Other=5       an instance by its keys
//   Class="text"  Class=5          an instance of a class with one key
//   Class=@                        the instance of a singleton class
// optionally after a server and namespace (\\server\root\cimv2:Class...,
// "/" in place of any "\") or a namespace alone (root\cimv2:Class...). A name
// that ends at ':' is a namespace; the class name ends at '.', '=' or the end.
// Values are strings in double or single quotes (a backslash takes the next
// character as it is), numbers (a sign or digit, then anything up to the next
// ',', taken as it stands), TRUE and FALSE. No blanks outside quotes.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "host/cim/SyntaxError.h"

namespace wmihost {

class ObjectPathError : public SyntaxError {
 public:
  using SyntaxError::SyntaxError;
};

struct ObjectPathKey {
  // Empty for the one key of Class=value.
  std::string name;
  std::size_t position = 0;
  // The value as written, quotes and escapes included.
  std::string value;
};

struct ObjectPath {
  // The server and the namespace as written; empty when the path names none.
  std::string server;
  std::string nameSpace;
  std::string className;
  std::vector<ObjectPathKey> keys;
  // Where the '@' of Class=@ stands; 0 for every other form.
  std::size_t singletonPosition = 0;
};

// Throws ObjectPathError at the first fault.
ObjectPath parseObjectPath(std::string_view path);

}  // namespace wmihost
