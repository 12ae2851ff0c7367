#include "host/cli/CheckCommand.h"

#include <filesystem>
#include <string>
#include <vector>

#include "host/check/DeploymentCheck.h"
#include "host/check/XmlChecks.h"
#include "host/cli/HresultName.h"
#include "host/cli/ProviderListener.h"
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
  const std::string moduleRoot = qrv::cim::moduleRootOf(std::filesystem::absolute(runner.modulePath()).string());
  const DeploymentReport report = checkFiles(moduleRoot, runner.repository());
  std::size_t problems = 0;
  for (const Finding& finding : report.findings) {
    out << finding.where << ": " << finding.what << "\n";
    if (finding.problem) ++problems;
  }
  const std::string runNamespace = qrv::cim::classKey(command.nameSpace, "");
  for (const EnumerableClass& enumerable : report.enumerable) {
    if (qrv::cim::classKey(enumerable.nameSpace, "") != runNamespace) {
      out << "enum " << enumerable.className << ": not run, as it is a class of " << enumerable.nameSpace
          << " (--namespace " << command.nameSpace << ")\n";
    } else if (enumerateOnce(runner, enumerable.className, out, diagnostics)) {
      ++problems;
    }
  }
  out << "check: " << plural(problems, "problem") << " in " << plural(report.registrations, "registration")
      << " below " << moduleRoot << "\n";
  return problems == 0 ? 0 : 1;
}

}  // namespace wmihost
