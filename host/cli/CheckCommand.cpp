#include "host/cli/CheckCommand.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "host/check/DeploymentCheck.h"
#include "host/check/ProviderChainCheck.h"
#include "host/check/XmlChecks.h"
#include "host/cli/HresultName.h"
#include "host/cli/ProviderListener.h"
#include "host/cli/RegisteredModule.h"
#include "host/cli/RequestRunner.h"
#include "provider/registration/ClassCache.h"
#include "provider/registration/ModuleRoots.h"

namespace wmihost {

namespace {

std::string plural(std::size_t count, const std::string& noun) {
  return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

DeploymentReport checkFiles(const std::string& moduleRoot, const ClassRepository& repository) {
  const XmlLibraries libraries;
  return checkDeployment(moduleRoot, repository);
}

// Writes the findings; how many of them are problems.
std::size_t report(const std::vector<Finding>& findings, std::ostream& out) {
  std::size_t problems = 0;
  for (const Finding& finding : findings) {
    out << finding.where << ": " << finding.what << "\n";
    if (finding.problem) ++problems;
  }
  return problems;
}

// The module whose root is checked: the one of --module, else the one
// module that COM's registration names for the providers; none, with the
// reason written, when there is not exactly one.
std::optional<std::string> moduleToCheck(const CommandLine& command, const ProviderChainReport& chains,
                                         std::ostream& out) {
  if (!command.module.empty()) return command.module;
  if (chains.modules.size() == 1) return chains.modules.front();
  std::string modules;
  for (const std::string& module : chains.modules) modules += (modules.empty() ? "" : ", ") + module;
  out << "no module root to check: the providers of " << command.nameSpace << " lead to "
      << (modules.empty() ? "no registered module" : plural(chains.modules.size(), "module") + " (" + modules + ")")
      << "; --module names the one to check\n";
  return std::nullopt;
}

// Enumerates the class once with the provider's lines collected; whether
// it went wrong: a failure, or any instance or value the provider dropped.
bool enumerateOnce(RequestRunner& runner, const std::string& className, std::ostream& out,
                   const Diagnostics& diagnostics) {
  std::vector<std::string> lines;
  RequestOutcome outcome;
  {
    const ProviderListener listener([&](const std::string& line) {
      lines.push_back(line);
      diagnostics.fromProvider(line);
    });
    outcome = runner.run({Verb::Enumerate, className});
  }
  out << "enum " << className << ": " << plural(outcome.objects.size(), "instance") << " delivered";
  if (FAILED(outcome.result)) out << ", failed with " << hresultText(outcome.result);
  out << (lines.empty() ? "\n" : "; the provider reports:\n");
  for (const std::string& line : lines) out << "  " << line << "\n";
  return FAILED(outcome.result) || !lines.empty();
}

}  // namespace

int runCheck(const CommandLine& command, std::ostream& out, const Diagnostics& diagnostics) {
  RequestRunner runner(command, diagnostics);
  const ProviderChainReport chains = checkProviderChains(
      runner.repository(), command.nameSpace,
      command.module.empty() ? RegisteredModule(registeredModulePath) : RegisteredModule());
  std::size_t problems = report(chains.findings, out);
  const auto module = moduleToCheck(command, chains, out);
  if (!module) {
    out << "check: " << plural(problems + 1, "problem") << "; no module root checked\n";
    return 1;
  }
  const std::string moduleRoot = qrv::cim::moduleRootOf(std::filesystem::absolute(*module).string());
  const DeploymentReport deployment = checkFiles(moduleRoot, runner.repository());
  problems += report(deployment.findings, out);
  const std::string runNamespace = qrv::cim::classKey(command.nameSpace, "");
  for (const EnumerableClass& enumerable : deployment.enumerable) {
    if (qrv::cim::classKey(enumerable.nameSpace, "") != runNamespace) {
      out << "enum " << enumerable.className << ": not run, as it is a class of " << enumerable.nameSpace
          << " (--namespace " << command.nameSpace << ")\n";
    } else if (enumerateOnce(runner, enumerable.className, out, diagnostics)) {
      ++problems;
    }
  }
  out << "check: " << plural(problems, "problem") << " in " << plural(deployment.registrations, "registration")
      << " below " << moduleRoot << "\n";
  return problems == 0 ? 0 : 1;
}

}  // namespace wmihost
