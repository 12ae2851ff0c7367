#pragma once
// What an object path names, in the terms in which WMI compares two paths:
// the class and the key names without regard to case, the keys in any
// order, a quoted value the same as the value unquoted ("5" and 5), TRUE
// and FALSE in any case. A server or namespace before the class is left
// aside. A path and an instance compare by the instance's keys.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/cim/ClassRepository.h"
#include "host/cim/WbemObject.h"

namespace wmihost {

class PathIdentity {
 public:
  // The object that the path names; none when it is no object path. The
  // class of Class=value, found in the namespace, names the one key.
  static std::optional<PathIdentity> ofPath(std::string_view path, const ClassRepository& repository,
                                            std::string_view nameSpace);
  // The object itself: a class by its name, an instance by its keys; none
  // while a key is unset.
  static std::optional<PathIdentity> ofObject(const WbemObject& object);

  // The class as the path writes it.
  const std::string& className() const { return className_; }
  // Whether it names an instance rather than a class.
  bool isInstance() const { return instance_; }

  bool operator==(const PathIdentity& other) const;
  bool operator!=(const PathIdentity& other) const { return !(*this == other); }
  bool operator<(const PathIdentity& other) const;

 private:
  std::string className_;
  std::string classKey_;
  bool instance_ = false;
  // Lower-case key name and value, in the order of the names.
  std::vector<std::pair<std::string, std::string>> keys_;

  void sortKeys();
};

}  // namespace wmihost
