#pragma once
// wmihost describe CLASS: the class as the repository declares it, in MOF
// with every qualifier of the class and of its properties
// (ClassDeclarationText.h). A class the repository lacks fails as a request
// for it fails: WBEM_E_INVALID_CLASS, naming the class and the files read.

#include <ostream>

#include "host/cli/CommandLine.h"
#include "host/cli/Diagnostics.h"

namespace wmihost {

// Writes the declaration to out; 0. Throws OperationError for a class the
// repository lacks, and what RequestRunner throws when the repository
// cannot be read.
int runDescribe(const CommandLine& command, std::ostream& out, const Diagnostics& diagnostics);

}  // namespace wmihost
