#include "host/cli/RequestRunner.h"

#include <chrono>
#include <cstdio>
#include <variant>

#include "common/com/GuidText.h"
#include "host/cim/ObjectPathClassCheck.h"
#include "host/cim/ObjectPathParser.h"
#include "host/cim/ObjectPathPlace.h"
#include "host/cim/RepositoryContents.h"
#include "host/cli/OperationError.h"
#include "host/cli/ProviderFailureHint.h"
#include "host/cli/RegisteredModule.h"
#include "host/query/AssociationTraversal.h"
#include "host/query/InstanceSource.h"
#include "host/query/PathIdentity.h"
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

RequestOutcome outcomeOf(AssociationAnswer answer) {
  return {answer.result, std::move(answer.objects), std::move(answer.detail)};
}

bool declined(const RequestResult& result) { return result.objects.empty() && declines(result.result); }

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

RequestOutcome RequestRunner::providerOutcome(RequestResult result) const {
  return {result.result, std::move(result.objects), providerFailureHint(result.result, diagnostics_.enabled())};
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
  failed = failure(static_cast<HRESULT>(WBEM_E_INVALID_CLASS), className + " is no class of " + command_.nameSpace +
                                                                  " in the repository (" +
                                                                  repositoryContents(*repository_) + ")");
  return nullptr;
}

RequestOutcome RequestRunner::enumerate(const std::string& className) {
  RequestOutcome failed;
  const auto definition = findClass(className, failed);
  HostedProvider* served = definition ? providerOf(*definition, ProviderRequest::Enumerate, failed) : nullptr;
  if (!served) return failed;
  return providerOutcome(served->enumerate(className));
}

std::shared_ptr<const ClassDefinition> RequestRunner::pathClass(const std::string& objectPath, std::size_t offset,
                                                                RequestOutcome& failed) const {
  const auto invalid = [&failed, offset](const SyntaxError& error) {
    failed = failure(static_cast<HRESULT>(WBEM_E_INVALID_OBJECT_PATH),
                     SyntaxError(error.position() + offset, error.reason()).what());
  };
  ObjectPath path;
  try {
    path = parseObjectPath(objectPath);
  } catch (const ObjectPathError& error) {
    invalid(error);
    return nullptr;
  }
  if (const auto refusal = placeRefusal(path, command_.nameSpace)) {
    failed = failure(refusal->result, refusal->reason);
    return nullptr;
  }
  auto definition = findClass(path.className, failed);
  if (!definition) return nullptr;
  try {
    checkKeysOfClass(path, *definition);
  } catch (const ObjectPathError& error) {
    invalid(error);
    return nullptr;
  }
  return definition;
}

RequestOutcome RequestRunner::get(const std::string& objectPath) {
  RequestOutcome failed;
  const auto definition = pathClass(objectPath, 0, failed);
  HostedProvider* served = definition ? providerOf(*definition, ProviderRequest::Get, failed) : nullptr;
  if (!served) return failed;
  return providerOutcome(served->get(objectPath));
}

RequestOutcome RequestRunner::query(const std::string& wql) {
  WqlStatement statement;
  try {
    statement = parseWqlStatement(wql);
  } catch (const QueryError& error) {
    return failure(static_cast<HRESULT>(WBEM_E_INVALID_QUERY), error.what());
  }
  if (const auto* association = std::get_if<AssociationQuery>(&statement)) return associationQuery(wql, *association);
  return dataQuery(wql, std::get<WqlQuery>(statement));
}

RequestOutcome RequestRunner::dataQuery(const std::string& wql, const WqlQuery& parsed) {
  RequestOutcome failed;
  const auto definition = findClass(parsed.className.text, failed);
  if (!definition) return failed;
  std::optional<QueryFilter> filter;
  try {
    filter.emplace(parsed, definition);
  } catch (const QueryError& error) {
    return failure(static_cast<HRESULT>(WBEM_E_INVALID_QUERY), error.what());
  }
  HostedProvider* served = providerOf(*definition, ProviderRequest::Enumerate, failed);
  if (!served) return failed;
  RequestResult answer = served->query(wql);
  if (!declined(answer)) {
    RequestOutcome outcome = providerOutcome(std::move(answer));
    outcome.systemProperties = filter->systemProperties();
    return outcome;
  }
  diagnostics_.note("the provider declined the query with " + hresultText(answer.result) + " (" +
                    hresultMeaning(answer.result) + "): enumerating " + definition->name + " and filtering");
  RequestResult all = served->enumerate(definition->name);
  if (FAILED(all.result)) {
    const std::string hint = providerFailureHint(all.result, diagnostics_.enabled());
    return {all.result, filter->apply(all.objects),
            "the provider declined the query, and its enumeration of " + definition->name + " failed" +
                (hint.empty() ? "" : ": " + hint),
            filter->systemProperties()};
  }
  RequestOutcome outcome{all.result, filter->apply(all.objects), {}, filter->systemProperties()};
  diagnostics_.note(std::to_string(outcome.objects.size()) + " of " + std::to_string(all.objects.size()) +
                    " instances match");
  return outcome;
}

RequestOutcome RequestRunner::associationQuery(const std::string& wql, const AssociationQuery& parsed) {
  RequestOutcome failed;
  const auto sourceClass = pathClass(parsed.path, parsed.pathPosition - 1, failed);
  if (!sourceClass) return failed;
  std::optional<AssociationTraversal> traversal;
  try {
    traversal.emplace(parsed, *repository_, command_.nameSpace, *sourceClass,
                      *PathIdentity::ofPath(parsed.path, *repository_, command_.nameSpace));
  } catch (const QueryError& error) {
    return failure(static_cast<HRESULT>(WBEM_E_INVALID_QUERY), error.what());
  }
  if (parsed.schemaOnly) return outcomeOf(traversal->schema());
  // wmihost hosts one provider a run: the source class's serves the walk.
  HostedProvider* served = providerOf(*sourceClass, ProviderRequest::Enumerate, failed);
  if (!served) return failed;
  RequestResult answer = served->query(wql);
  if (!declined(answer)) return providerOutcome(std::move(answer));
  diagnostics_.note("the provider declined the query with " + hresultText(answer.result) + " (" +
                    hresultMeaning(answer.result) + "): enumerating the associations of " + parsed.path);
  const InstanceSource source{
      [served](const std::string& className, InstanceSource::Objects& delivered) {
        RequestResult result = served->enumerate(className);
        delivered = std::move(result.objects);
        return result.result;
      },
      [served](const std::string& objectPath, InstanceSource::Objects& delivered) {
        RequestResult result = served->get(objectPath);
        delivered = std::move(result.objects);
        return result.result;
      },
      [this](const std::string& line) { diagnostics_.note(line); }};
  return outcomeOf(traversal->run(source));
}

}  // namespace wmihost
