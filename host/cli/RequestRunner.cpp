#include "host/cli/RequestRunner.h"

#include <chrono>
#include <cstdio>

#include "common/com/GuidText.h"
#include "host/cim/ObjectPathParser.h"
#include "host/cli/OperationError.h"
#include "host/cli/ProviderClass.h"
#include "host/cli/RegisteredModule.h"
#include "host/query/QueryError.h"
#include "host/query/QueryFilter.h"
#include "host/query/WqlParser.h"

namespace wmihost {

namespace {

using Clock = std::chrono::steady_clock;

std::string elapsedSince(Clock::time_point start) {
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  char text[32];
  std::snprintf(text, sizeof text, seconds < 1 ? "%.1f ms" : "%.3f s", seconds < 1 ? seconds * 1000 : seconds);
  return text;
}

RequestOutcome failure(HRESULT result, std::string detail) { return {result, {}, std::move(detail)}; }

RequestOutcome outcomeOf(RequestResult result) { return {result.result, std::move(result.objects), {}}; }

bool declined(const RequestResult& result) {
  return result.objects.empty() && (result.result == static_cast<HRESULT>(WBEM_E_NOT_SUPPORTED) ||
                                    result.result == static_cast<HRESULT>(WBEM_E_PROVIDER_NOT_CAPABLE));
}

}  // namespace

RequestRunner::RequestRunner(const CommandLine& command, const Diagnostics& diagnostics)
    : command_(command), diagnostics_(diagnostics), repository_(std::make_shared<ClassRepository>()) {
  for (const std::string& path : command.repositories) {
    const std::size_t known = repository_->files().size();
    repository_->load(path);
    for (std::size_t i = known; i < repository_->files().size(); ++i) {
      diagnostics_.note("read the repository file " + repository_->files()[i]);
    }
  }
}

RequestOutcome RequestRunner::run(const Request& request) {
  const auto start = Clock::now();
  RequestOutcome outcome = request.verb == Verb::Enumerate ? enumerate(request.operand)
                           : request.verb == Verb::Get     ? get(request.operand)
                                                           : query(request.operand);
  diagnostics_.note(requestText(request) + ": " + std::to_string(outcome.objects.size()) + " object" +
                    (outcome.objects.size() == 1 ? "" : "s") + " in " + elapsedSince(start) +
                    (FAILED(outcome.result) ? ", failed" : ""));
  return outcome;
}

std::string RequestRunner::modulePath() const {
  if (!command_.module.empty()) return command_.module;
  const auto registered = registeredModulePath(kProviderClsid);
  if (!registered) throw OperationError(std::string("finding the module of ") + kProviderClsid, REGDB_E_CLASSNOTREG);
  diagnostics_.note(std::string("the registry names the module of ") + kProviderClsid + ": " + *registered);
  return *registered;
}

HostedProvider& RequestRunner::provider() {
  if (provider_) return *provider_;
  module_.emplace(modulePath(), command_.module.empty() ? ProviderModule::Activation::Registered
                                                       : ProviderModule::Activation::Direct);
  diagnostics_.note("loaded the module " + module_->path());
  const auto start = Clock::now();
  provider_.emplace(*module_, qrv::com::guidFromText(kProviderClsid).value(), repository_, command_.nameSpace, command_.level);
  diagnostics_.note("Initialize in " + command_.nameSpace + " took " + elapsedSince(start));
  return *provider_;
}

std::shared_ptr<const ClassDefinition> RequestRunner::findClass(const std::string& className,
                                                                RequestOutcome& failed) const {
  auto definition = repository_->find(command_.nameSpace, className);
  if (definition) return definition;
  std::string read;
  for (const std::string& file : repository_->files()) read += (read.empty() ? "" : ", ") + file;
  failed = failure(static_cast<HRESULT>(WBEM_E_INVALID_CLASS), className + " is no class of " + command_.nameSpace +
                                             " in the repository (" +
                                             (read.empty() ? "no --repository given" : "read: " + read) + ")");
  return nullptr;
}

RequestOutcome RequestRunner::enumerate(const std::string& className) {
  RequestOutcome failed;
  if (!findClass(className, failed)) return failed;
  return outcomeOf(provider().enumerate(className));
}

RequestOutcome RequestRunner::get(const std::string& objectPath) {
  ObjectPath path;
  try {
    path = parseObjectPath(objectPath);
  } catch (const ObjectPathError& error) {
    return failure(static_cast<HRESULT>(WBEM_E_INVALID_OBJECT_PATH), error.what());
  }
  RequestOutcome failed;
  const auto definition = findClass(path.className, failed);
  if (!definition) return failed;
  for (const ObjectPathKey& key : path.keys) {
    if (!key.name.empty() && !definition->indexOf(key.name)) {
      return failure(static_cast<HRESULT>(WBEM_E_INVALID_OBJECT_PATH), SyntaxError(key.position, key.name + " is no property of " +
                                                                                 definition->name)
                                                     .what());
    }
  }
  return outcomeOf(provider().get(objectPath));
}

RequestOutcome RequestRunner::query(const std::string& wql) {
  std::optional<QueryFilter> filter;
  std::shared_ptr<const ClassDefinition> definition;
  try {
    const WqlQuery parsed = parseWql(wql);
    RequestOutcome failed;
    definition = findClass(parsed.className.text, failed);
    if (!definition) return failed;
    filter.emplace(parsed, definition);
  } catch (const QueryError& error) {
    return failure(static_cast<HRESULT>(WBEM_E_INVALID_QUERY), error.what());
  }
  RequestResult answer = provider().query(wql);
  if (!declined(answer)) return outcomeOf(std::move(answer));
  diagnostics_.note("the provider declined the query with " + hresultText(answer.result) + " (" +
                    hresultMeaning(answer.result) + "): enumerating " + definition->name + " and filtering");
  RequestResult all = provider().enumerate(definition->name);
  if (FAILED(all.result)) {
    return {all.result, filter->apply(all.objects),
            "the provider declined the query, and its enumeration of " + definition->name + " failed",
            filter->systemProperties()};
  }
  RequestOutcome outcome{all.result, filter->apply(all.objects), {}, filter->systemProperties()};
  diagnostics_.note(std::to_string(outcome.objects.size()) + " of " + std::to_string(all.objects.size()) +
                    " instances match");
  return outcome;
}

}  // namespace wmihost
