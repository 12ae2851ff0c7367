#include "host/check/ProviderChainCheck.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>

#include "common/text/AsciiCase.h"
#include "host/cim/ClassProvider.h"
#include "host/cim/SystemClasses.h"

namespace wmihost {

namespace {

using Classes = std::vector<std::shared_ptr<const ClassDefinition>>;

// The classes that name a provider, by the provider's name in lower case.
std::map<std::string, Classes> classesByProvider(const ClassRepository& repository, const std::string& nameSpace) {
  std::map<std::string, Classes> providers;
  for (const auto& definition : repository.classes(nameSpace)) {
    if (!definition->provider.empty()) providers[qrv::text::toLowerAscii(definition->provider)].push_back(definition);
  }
  return providers;
}

std::string namesOf(const Classes& classes) {
  std::string names;
  for (const auto& definition : classes) names += (names.empty() ? "" : ", ") + definition->name;
  return names;
}

// The links of one provider.
class ChainCheck {
 public:
  ChainCheck(const ClassRepository& repository, const std::string& nameSpace, ProviderChainReport& report)
      : repository_(repository), nameSpace_(nameSpace), report_(report) {}

  void run(const Classes& classes, const RegisteredModule& registeredModule) {
    const std::string& name = classes.front()->provider;
    const auto provider = findWin32Provider(repository_, nameSpace_, name);
    if (!provider) {
      fault(classes.front()->place, "the provider " + name + " of " + namesOf(classes) + " is not registered: " +
                                        nameSpace_ + " holds no " + kWin32Provider + " named " + name);
      return;
    }
    checkRegistration(name, *provider);
    const auto clsid = clsidOf(*provider);
    if (!clsid) {
      fault(provider->place(), "the " + std::string(kWin32Provider) + " " + name +
                                   " gives no CLSID in the form {8-4-4-4-12 hexadecimal digits}");
    } else if (!registeredModule) {
      remark(provider->place(), "the provider " + name + " is the COM class " + *clsid +
                                    "; --module names its module, so COM's registration is not checked");
    } else {
      checkModule(name, *clsid, registeredModule(*clsid), provider->place());
    }
  }

 private:
  void fault(const std::string& where, const std::string& what) {
    report_.findings.push_back({where, Severity::Error, what});
  }
  void remark(const std::string& where, const std::string& what) {
    report_.findings.push_back({where, Severity::Note, what});
  }

  void checkRegistration(const std::string& name, const MofInstance& provider) {
    const auto registration = findInstanceRegistration(repository_, nameSpace_, provider);
    if (!registration) {
      fault(provider.place(), "no " + std::string(kInstanceProviderRegistration) + " of " + nameSpace_ +
                                  " refers to the provider " + name +
                                  " by its alias: WMI hands it no instance requests");
      return;
    }
    for (const ProviderRequest request : {ProviderRequest::Enumerate, ProviderRequest::Get}) {
      if (!supports(*registration, request)) {
        fault(registration->place(), "the registration of the provider " + name + " refuses " +
                                         requestsText(request) + ": its " + supportFlag(request) + " is not TRUE");
      }
    }
  }

  void checkModule(const std::string& name, const std::string& clsid, const std::optional<std::string>& module,
                   const std::string& where) {
    if (!module) {
      fault(where, "the CLSID " + clsid + " of the provider " + name +
                       " is not registered with COM: no InprocServer32 names its module, so WMI cannot load it");
    } else if (std::error_code error; !std::filesystem::is_regular_file(*module, error)) {
      fault(where, "the module registered for the CLSID " + clsid + " of the provider " + name +
                       " does not exist: " + *module);
    } else {
      remark(where, "the provider " + name + " is the COM class " + clsid + " of the module " + *module);
      auto& modules = report_.modules;
      if (std::find(modules.begin(), modules.end(), *module) == modules.end()) modules.push_back(*module);
    }
  }

  const ClassRepository& repository_;
  const std::string& nameSpace_;
  ProviderChainReport& report_;
};

}  // namespace

ProviderChainReport checkProviderChains(const ClassRepository& repository, const std::string& nameSpace,
                                        const RegisteredModule& registeredModule) {
  ProviderChainReport report;
  for (const auto& [name, classes] : classesByProvider(repository, nameSpace)) {
    ChainCheck(repository, nameSpace, report).run(classes, registeredModule);
  }
  return report;
}

}  // namespace wmihost
