// wmihost: plays WMI for one request. It loads the provider module the way
// WMI does, initialises the provider over a class repository read from MOF,
// puts an enumeration, a get or a query to it and prints what the provider
// delivered; or it registers or unregisters the module as a COM server.
// Exit status: 0 on success, 1 when an operation fails, 2 for a usage error.

#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "common/com/GuidText.h"
#include "host/cim/ClassRepository.h"
#include "host/cli/CommandLine.h"
#include "host/cli/HostedProvider.h"
#include "host/cli/ObjectOutput.h"
#include "host/cli/OperationError.h"
#include "host/cli/ProviderClass.h"
#include "host/cli/ProviderModule.h"
#include "host/cli/RegisteredModule.h"

namespace {

using namespace wmihost;

int registration(const CommandLine& command) {
  const ProviderModule module(command.operand);
  const bool registering = command.verb == Verb::Register;
  const HRESULT result = registering ? module.registerServer() : module.unregisterServer();
  if (FAILED(result)) throw OperationError(registering ? "DllRegisterServer" : "DllUnregisterServer", result);
  std::cout << (registering ? "registered " : "unregistered ") << module.path() << "\n";
  return 0;
}

// The module given on the command line, else the one registered for the
// provider's class, as COM would find it.
std::string modulePath(const CommandLine& command) {
  if (!command.module.empty()) return command.module;
  const auto registered = registeredModulePath(kProviderClsid);
  if (!registered) throw OperationError(std::string("finding the module of ") + kProviderClsid, REGDB_E_CLASSNOTREG);
  return *registered;
}

std::shared_ptr<const ClassRepository> repositoryOf(const CommandLine& command) {
  auto repository = std::make_shared<ClassRepository>();
  for (const std::string& path : command.repositories) repository->load(path);
  return repository;
}

RequestResult request(HostedProvider& provider, const CommandLine& command) {
  switch (command.verb) {
    case Verb::Enumerate:
      return provider.enumerate(command.operand);
    case Verb::Get:
      return provider.get(command.operand);
    default:
      return provider.query(command.operand);
  }
}

int serve(const CommandLine& command) {
  const auto repository = repositoryOf(command);
  const ProviderModule module(modulePath(command));
  HostedProvider provider(module, qrv::com::guidFromText(kProviderClsid).value(), repository, command.nameSpace,
                          command.level);
  const RequestResult result = request(provider, command);
  if (SUCCEEDED(result.result) || !result.objects.empty()) {
    std::cout << formatObjects(result.objects, command.format);
  }
  if (FAILED(result.result)) throw OperationError(verbWord(command.verb) + " " + command.operand, result.result);
  return 0;
}

int run(const CommandLine& command) {
  return command.verb == Verb::Register || command.verb == Verb::Unregister ? registration(command) : serve(command);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return run(parseCommandLine(std::vector<std::string>(argv + 1, argv + argc)));
  } catch (const UsageError& error) {
    std::cerr << "wmihost: " << error.what() << "\n" << kUsage;
    return 2;
  } catch (const std::exception& error) {
    std::cerr << "wmihost: " << error.what() << "\n";
    return 1;
  }
}
