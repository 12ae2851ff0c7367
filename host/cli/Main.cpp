// wmihost: plays WMI for requests from the command line or batch files. It
// loads the provider module the way WMI does, once, initialises the provider
// over a class repository read from MOF, puts enumerations, gets and queries
// to it and prints what the provider delivered; or it checks the module's
// deployment, lists or describes the repository's classes, or registers or
// unregisters the module as a COM server.
// Exit status: 0 on success, 1 when a request or operation fails or check
// finds an error, 2 for a usage error.

#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "host/cli/BatchRunner.h"
#include "host/cli/CheckCommand.h"
#include "host/cli/ClassesCommand.h"
#include "host/cli/CommandLine.h"
#include "host/cli/DescribeCommand.h"
#include "host/cli/Diagnostics.h"
#include "host/cli/OperationError.h"
#include "host/cli/ProviderListener.h"
#include "host/cli/ProviderModule.h"
#include "host/cli/RequestOutput.h"
#include "host/cli/RequestRunner.h"

namespace {

using namespace wmihost;

int registration(const Request& request) {
  const ProviderModule module(request.operand);
  const bool registering = request.verb == Verb::Register;
  const HRESULT result = registering ? module.registerServer() : module.unregisterServer();
  if (FAILED(result)) throw OperationError(registering ? "DllRegisterServer" : "DllUnregisterServer", result);
  std::cout << (registering ? "registered " : "unregistered ") << module.path() << "\n";
  return 0;
}

void runBatchFile(const std::string& path, BatchRunner& batch) {
  if (path == "-") {
    batch.runLines(std::cin, "standard input");
    return;
  }
  std::ifstream lines(path);
  if (!lines) throw std::runtime_error(path + ": cannot be read");
  batch.runLines(lines, path);
}

int serve(const CommandLine& command) {
  const Diagnostics diagnostics(command.verbose, std::cerr);
  std::optional<ProviderListener> listener;
  if (command.verbose) listener.emplace([&diagnostics](const std::string& line) { diagnostics.fromProvider(line); });
  RequestRunner runner(command, diagnostics);
  RequestOutput output(command.format, command.batch(), std::cout, std::cerr);
  BatchRunner batch([&runner](const Request& request) { return runner.run(request); }, output);
  batch.runRequests(command.requests);
  for (const std::string& path : command.batchFiles) runBatchFile(path, batch);
  return batch.succeeded() ? 0 : 1;
}

int run(const CommandLine& command) {
  if (command.help) {
    std::cout << kUsage;
    return 0;
  }
  if (command.version) {
    std::cout << kVersion;
    return 0;
  }
  const bool registering = command.requests.size() == 1 && (command.requests[0].verb == Verb::Register ||
                                                            command.requests[0].verb == Verb::Unregister);
  if (registering) return registration(command.requests[0]);
  const Verb alone = command.requests.size() == 1 ? command.requests[0].verb : Verb::Enumerate;
  if (alone == Verb::Check) return runCheck(command, std::cout, Diagnostics(command.verbose, std::cerr));
  if (alone == Verb::Classes) return runClasses(command, std::cout, Diagnostics(command.verbose, std::cerr));
  if (alone == Verb::Describe) return runDescribe(command, std::cout, Diagnostics(command.verbose, std::cerr));
  return serve(command);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return run(parseCommandLine(std::vector<std::string>(argv + 1, argv + argc)));
  } catch (const UsageError& error) {
    std::cerr << "wmihost: " << error.what() << "\n" << kUsage;
    return 2;
  } catch (const OperationError& error) {
    std::cerr << failureReport(error);
    return 1;
  } catch (const std::exception& error) {
    std::cerr << "wmihost: " << error.what() << "\n";
    return 1;
  }
}
