#pragma once
// wmihost classes: the classes of the run's namespace in the repository, a
// line each in name order, under a header line: the class, the provider
// its provider qualifier names, and whether that provider is registered,
// followed the way WMI follows it (ClassProvider.h): a __Win32Provider of
// that name with a CLSID, an __InstanceProviderRegistration that lets it
// take enumerations or gets, then COM's registration of the CLSID, unless
// --module names the module:
//   Class                  Provider  Registered
//   Korvex_Disk            qrvcim    yes: {5A1E7C3D-...} in /usr/lib/korvex/bin/wexi.so
//   Korvex_DiskGeometry    -         -
// A class without a provider has no instances of its own (the class of an
// embedded object, an abstract base); a missing link says "no: " and which.

#include <ostream>
#include <string>

#include "host/check/ProviderChainCheck.h"
#include "host/cim/ClassRepository.h"
#include "host/cli/CommandLine.h"
#include "host/cli/Diagnostics.h"

namespace wmihost {

// The lines; without registeredModule (--module names the module) COM's
// registration is not looked at.
std::string classListing(const ClassRepository& repository, const std::string& nameSpace,
                         const RegisteredModule& registeredModule);

// Writes the listing to out; 0. Throws what RequestRunner throws when the
// repository cannot be read, and what the registry throws.
int runClasses(const CommandLine& command, std::ostream& out, const Diagnostics& diagnostics);

}  // namespace wmihost
