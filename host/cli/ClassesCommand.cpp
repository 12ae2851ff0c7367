#include "host/cli/ClassesCommand.h"

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "host/cim/ClassProvider.h"
#include "host/cli/RegisteredModule.h"
#include "host/cli/RequestRunner.h"

namespace wmihost {

namespace {

struct ClassLine {
  std::string className;
  std::string provider;
  std::string registered;
};

// The provider of the class for enumerations, else for gets; throws the
// ProviderLinkError of enumerations when it takes neither.
ClassProvider servingProvider(const ClassRepository& repository, const ClassDefinition& definition) {
  try {
    return findClassProvider(repository, definition, ProviderRequest::Enumerate);
  } catch (const ProviderLinkError& refused) {
    try {
      return findClassProvider(repository, definition, ProviderRequest::Get);
    } catch (const ProviderLinkError&) {
      throw refused;
    }
  }
}

std::string registration(const ClassRepository& repository, const ClassDefinition& definition,
                         const RegisteredModule& registeredModule) {
  ClassProvider served;
  try {
    served = servingProvider(repository, definition);
  } catch (const ProviderLinkError& missing) {
    return std::string("no: ") + missing.what();
  }
  if (!registeredModule) return "yes: " + served.clsid + "; --module names the module";
  const auto module = registeredModule(served.clsid);
  if (!module) {
    return "no: the CLSID " + served.clsid + " is not registered with COM: no InprocServer32 names its module";
  }
  return "yes: " + served.clsid + " in " + *module;
}

// COM's registration with each CLSID looked up once, however many classes
// its provider serves: on Linux a look-up reads the whole registry file.
RegisteredModule lookingUpOnce(const RegisteredModule& registeredModule) {
  if (!registeredModule) return {};
  auto known = std::make_shared<std::map<std::string, std::optional<std::string>>>();
  return [registeredModule, known](const std::string& clsid) {
    auto found = known->find(clsid);
    if (found == known->end()) found = known->emplace(clsid, registeredModule(clsid)).first;
    return found->second;
  };
}

std::string padded(const std::string& text, std::size_t width) {
  return text + std::string(width - text.size() + 2, ' ');
}

}  // namespace

std::string classListing(const ClassRepository& repository, const std::string& nameSpace,
                         const RegisteredModule& registeredModule) {
  const RegisteredModule lookUp = lookingUpOnce(registeredModule);
  std::vector<ClassLine> lines{{"Class", "Provider", "Registered"}};
  for (const auto& definition : repository.classes(nameSpace)) {
    if (definition->provider.empty()) {
      lines.push_back({definition->name, "-", "-"});
    } else {
      lines.push_back({definition->name, definition->provider, registration(repository, *definition, lookUp)});
    }
  }
  std::size_t classWidth = 0;
  std::size_t providerWidth = 0;
  for (const ClassLine& line : lines) {
    classWidth = std::max(classWidth, line.className.size());
    providerWidth = std::max(providerWidth, line.provider.size());
  }
  std::string text;
  for (const ClassLine& line : lines) {
    text += padded(line.className, classWidth) + padded(line.provider, providerWidth) + line.registered + "\n";
  }
  return text;
}

int runClasses(const CommandLine& command, std::ostream& out, const Diagnostics& diagnostics) {
  const RequestRunner runner(command, diagnostics);
  out << classListing(runner.repository(), command.nameSpace,
                      command.module.empty() ? RegisteredModule(registeredModulePath) : RegisteredModule());
  return 0;
}

}  // namespace wmihost
