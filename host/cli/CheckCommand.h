#pragma once
// wmihost check: follows the classes of the run's namespace to their
// providers' modules as WMI would (the repository's provider registrations,
// then COM's registration unless --module names the module), validates the
// module root of the provider module (the directory two levels above it)
// against the repository, then enumerates each class that offers it once
// through the provider, in the namespace of the run, reporting what the
// provider delivered and every line it wrote to its diagnostic channel.
// Findings go to `out` as "FILE[:LINE]: error|warning|note: what" (a finding
// of no file names wmihost), the last line counts the errors and warnings.

#include <ostream>

#include "host/cli/CommandLine.h"
#include "host/cli/Diagnostics.h"

namespace wmihost {

// 0 without errors, 1 with any. Throws what RequestRunner throws
// when the repository cannot be read or the provider cannot be loaded.
int runCheck(const CommandLine& command, std::ostream& out, const Diagnostics& diagnostics);

}  // namespace wmihost
