#pragma once
// wmihost check's look at a module root before any provider is loaded. Each
// registration file xmlreg/<namespace>/<class>.xml must parse (with the
// provider's own parser), use only the elements and attributes of a
// registration, register the class it is named after in the namespace of
// its folder, name a class of the repository that names a
// provider, register only properties of the class as attributes and only
// keys as required ones, and name data files that are well-formed XML and
// stylesheets that compile.

#include <string>
#include <vector>

#include "host/check/Finding.h"
#include "host/cim/ClassRepository.h"

namespace wmihost {

// A class whose registration offers an enumeration, which the check then
// runs through the provider.
struct EnumerableClass {
  std::string nameSpace;
  std::string className;
  // The registration file, where the findings of the enumeration go.
  std::string registration;
};

struct DeploymentReport {
  std::vector<Finding> findings;
  std::vector<EnumerableClass> enumerable;
  std::size_t registrations = 0;
};

// Checks every *.xml file below moduleRoot/xmlreg, in path order. Needs the
// XML libraries started (XmlLibraries).
DeploymentReport checkDeployment(const std::string& moduleRoot, const ClassRepository& repository);

}  // namespace wmihost
