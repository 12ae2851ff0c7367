#include "host/cli/RequestRunner.h"

#include <chrono>
#include <cstdio>

#include "common/com/GuidText.h"
#include "host/cim/ObjectPathClassCheck.h"
#include "host/cim/ObjectPathParser.h"
#include "host/cim/ObjectPathPlace.h"
#include "host/cli/OperationError.h"
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

std::string RequestRunner::modulePath(const ClassProvider& served) const {
  if (!command_.module.empty()) return command_.module;
  const auto registered = registeredModulePath(served.clsid);
  if (!registered) {
    throw ProviderLinkError(static_cast<HRESULT>(WBEM_E_PROVIDER_LOAD_FAILURE),
                            "the CLSID " + served.clsid + " of the provider " + served.name +
                                " is not registered with COM (REGDB_E_CLASSNOTREG): no InprocServer32 names its "
                                "module");
  }
  diagnostics_.note("the registry names the module of " + served.clsid + ": " + *registered);
  return *registered;
}

HostedProvider& RequestRunner::provider(const ClassProvider& served) {
  if (provider_) return *provider_;
  module_.emplace(modulePath(served), command_.module.empty() ? ProviderModule::Activation::Registered
                                                              : ProviderModule::Activation::Direct);
  diagnostics_.note("loaded the module " + module_->path());
  const auto start = Clock::now();
  provider_.emplace(*module_, qrv::com::guidFromText(served.clsid).value(), repository_, command_.nameSpace,
                    command_.level);
  providerClsid_ = served.clsid;
  diagnostics_.note("Initialize in " + command_.nameSpace + " took " + elapsedSince(start));
  return *provider_;
}

HostedProvider* RequestRunner::providerOf(const ClassDefinition& definition, ProviderRequest request,
                                          RequestOutcome& failed) {
  try {
    const ClassProvider served = findClassProvider(*repository_, definition, request);
    if (provider_ && served.clsid != providerClsid_) {
      failed = failure(static_cast<HRESULT>(WBEM_E_NOT_SUPPORTED), "wmihost hosts one provider a run: " +
                                                                       providerClsid_ + " is loaded, not " +
                                                                       served.name + " (" + served.clsid + ")");
      return nullptr;
    }
    return &provider(served);
  } catch (const ProviderLinkError& error) {
    failed = failure(error.code(), error.what());
    return nullptr;
  }
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
  const auto definition = findClass(className, failed);
  HostedProvider* served = definition ? providerOf(*definition, ProviderRequest::Enumerate, failed) : nullptr;
  if (!served) return failed;
  return outcomeOf(served->enumerate(className));
}

RequestOutcome RequestRunner::get(const std::string& objectPath) {
  const HRESULT invalidPath = static_cast<HRESULT>(WBEM_E_INVALID_OBJECT_PATH);
  ObjectPath path;
  try {
    path = parseObjectPath(objectPath);
  } catch (const ObjectPathError& error) {
    return failure(invalidPath, error.what());
  }
  if (const auto refusal = placeRefusal(path, command_.nameSpace)) return failure(refusal->result, refusal->reason);
  RequestOutcome failed;
  const auto definition = findClass(path.className, failed);
  if (!definition) return failed;
  try {
    checkKeysOfClass(path, *definition);
  } catch (const ObjectPathError& error) {
    return failure(invalidPath, error.what());
  }
  HostedProvider* served = providerOf(*definition, ProviderRequest::Get, failed);
  if (!served) return failed;
  return outcomeOf(served->get(objectPath));
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
  RequestOutcome failed;
  HostedProvider* served = providerOf(*definition, ProviderRequest::Enumerate, failed);
  if (!served) return failed;
  RequestResult answer = served->query(wql);
  if (!declined(answer)) return outcomeOf(std::move(answer));
  diagnostics_.note("the provider declined the query with " + hresultText(answer.result) + " (" +
                    hresultMeaning(answer.result) + "): enumerating " + definition->name + " and filtering");
  RequestResult all = served->enumerate(definition->name);
  if (FAILED(all.result)) {
    return {all.result, filter->apply(all.objects),
            "the provider declined the query, and its enumeration of " + definition->name + " failed"};
  }
  RequestOutcome outcome{all.result, filter->apply(all.objects), {}};
  diagnostics_.note(std::to_string(outcome.objects.size()) + " of " + std::to_string(all.objects.size()) +
                    " instances match");
  return outcome;
}

}  // namespace wmihost
