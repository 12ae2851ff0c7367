#pragma once
// What the class repository was read from, for the message that a class is
// not in it: "read: a.mof, b.mof", each folder that held no MOF file, or that
// no --repository was given.

#include <string>

#include "host/cim/ClassRepository.h"

namespace wmihost {

std::string repositoryContents(const ClassRepository& repository);

}  // namespace wmihost
