#pragma once
// wmihost check's look at the way WMI goes from the classes of a namespace
// to their providers' modules, each link on its own: the classes that name
// a provider find a __Win32Provider instance of that name, which gives a
// CLSID and is referred to by an __InstanceProviderRegistration that lets
// WMI hand it enumerations and gets, and COM's registration of the CLSID
// names a module that exists.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "host/check/Finding.h"
#include "host/cim/ClassRepository.h"

namespace wmihost {

// The module that COM's registration names for a CLSID; none when the CLSID
// is not registered.
using RegisteredModule = std::function<std::optional<std::string>(const std::string& clsid)>;

struct ProviderChainReport {
  std::vector<Finding> findings;
  // The modules registered for the providers, each once, in the order found.
  std::vector<std::string> modules;
};

// Checks the providers named by the classes of the namespace, in the order
// of their names. Without registeredModule (the run names its module
// itself) COM's registration is not looked at.
ProviderChainReport checkProviderChains(const ClassRepository& repository, const std::string& nameSpace,
                                        const RegisteredModule& registeredModule);

}  // namespace wmihost
