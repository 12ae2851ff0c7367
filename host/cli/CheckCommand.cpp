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

// The findings written, counted by severity.
class Report {
 public:
  explicit Report(std::ostream& out) : out_(out) {}

  void write(const Finding& finding) {
    out_ << finding.line() << "\n";
    if (finding.severity == Severity::Error) ++errors_;
    if (finding.severity == Severity::Warning) ++warnings_;
  }
  void write(const std::vector<Finding>& findings) {
    for (const Finding& finding : findings) write(finding);
  }

  std::size_t errors() const { return errors_; }
  // "2 errors, 1 warning".
  std::string counts() const { return plural(errors_, "error") + ", " + plural(warnings_, "warning"); }

 private:
  std::ostream& out_;
  std::size_t errors_ = 0;
  std::size_t warnings_ = 0;
};

// The module whose root is checked: the one of --module, else the one
// module that COM's registration names for the providers; none, with the
// reason reported, when there is not exactly one.
std::optional<std::string> moduleToCheck(const CommandLine& command, const ProviderChainReport& chains,
                                         Report& report) {
  if (!command.module.empty()) return command.module;
  if (chains.modules.size() == 1) return chains.modules.front();
  std::string modules;
  for (const std::string& module : chains.modules) modules += (modules.empty() ? "" : ", ") + module;
  report.write({"wmihost", Severity::Error,
                "no module root to check: the providers of " + command.nameSpace + " lead to " +
                    (modules.empty() ? "no registered module"
                                     : plural(chains.modules.size(), "module") + " (" + modules + ")") +
                    "; --module names the one to check"});
  return std::nullopt;
}

// Enumerates the class once with the provider's lines collected and reports
// it at its registration: an error when it failed or the provider reported
// anything, each line of the provider a note after it.
void enumerateOnce(RequestRunner& runner, const EnumerableClass& enumerable, Report& report,
                   const Diagnostics& diagnostics) {
  std::vector<std::string> lines;
  RequestOutcome outcome;
  {
    const ProviderListener listener([&](const std::string& line) {
      lines.push_back(line);
      diagnostics.fromProvider(line);
    });
    outcome = runner.run({Verb::Enumerate, enumerable.className});
  }
  std::string what = "enum " + enumerable.className + ": " + plural(outcome.objects.size(), "instance") + " delivered";
  if (FAILED(outcome.result)) what += ", failed with " + hresultText(outcome.result);
  if (!lines.empty()) what += "; the provider reports:";
  const bool wrong = FAILED(outcome.result) || !lines.empty();
  report.write({enumerable.registration, wrong ? Severity::Error : Severity::Note, what});
  for (const std::string& line : lines) report.write({enumerable.registration, Severity::Note, line});
}

}  // namespace

int runCheck(const CommandLine& command, std::ostream& out, const Diagnostics& diagnostics) {
  RequestRunner runner(command, diagnostics);
  const ProviderChainReport chains = checkProviderChains(
      runner.repository(), command.nameSpace,
      command.module.empty() ? RegisteredModule(registeredModulePath) : RegisteredModule());
  Report report(out);
  report.write(chains.findings);
  const auto module = moduleToCheck(command, chains, report);
  if (!module) {
    out << "check: " << report.counts() << "; no module root checked\n";
    return 1;
  }
  const std::string moduleRoot = qrv::cim::moduleRootOf(std::filesystem::absolute(*module).string());
  const DeploymentReport deployment = checkFiles(moduleRoot, runner.repository());
  report.write(deployment.findings);
  const std::string runNamespace = qrv::cim::classKey(command.nameSpace, "");
  for (const EnumerableClass& enumerable : deployment.enumerable) {
    if (qrv::cim::classKey(enumerable.nameSpace, "") != runNamespace) {
      report.write({enumerable.registration, Severity::Note,
                    "enum " + enumerable.className + ": not run, as it is a class of " + enumerable.nameSpace +
                        " (--namespace " + command.nameSpace + ")"});
    } else {
      enumerateOnce(runner, enumerable, report, diagnostics);
    }
  }
  out << "check: " << report.counts() << " in " << plural(deployment.registrations, "registration") << " below "
      << moduleRoot << "\n";
  return report.errors() == 0 ? 0 : 1;
}

}  // namespace wmihost
