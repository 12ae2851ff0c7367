#pragma once
// The requests of one wmihost run, answered as WMI answers them. WMI's own
// work comes first and costs no provider: the class is looked up in the
// repository, an object path or a query is parsed and checked against the
// class, and the class's provider is found through its registration in the
// repository and COM's registration of its CLSID. Only then is the provider
// loaded and initialised, once, at the first request that reaches it, and
// kept for the requests after it. A query that the provider declines is
// answered by enumerating its class through the provider and filtering
// here; an association query, by enumerating the association classes and
// getting the objects they lead to.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/cim/ClassProvider.h"
#include "host/cim/ClassRepository.h"
#include "host/cli/CommandLine.h"
#include "host/cli/Diagnostics.h"
#include "host/cli/HostedProvider.h"
#include "host/cli/ProviderModule.h"
#include "host/query/AssociationQuery.h"
#include "host/query/WqlQuery.h"

namespace wmihost {

// What one request gave: its outcome, the objects to show, and what more the
// host knows of a failure; and the system properties to show of each object,
// those a query's property list names.
struct RequestOutcome {
  HRESULT result = S_OK;
  std::vector<qrv::com::ComPtr<IWbemClassObject>> objects;
  std::string detail;
  std::vector<std::string_view> systemProperties = {};
};

class RequestRunner {
 public:
  // Reads the repository; throws MofError or std::runtime_error when a file
  // of it cannot be read.
  RequestRunner(const CommandLine& command, const Diagnostics& diagnostics);

  // Throws OperationError or std::runtime_error when the provider cannot be
  // loaded or initialised, as then no later request can be answered either.
  RequestOutcome run(const Request& request);

  const ClassRepository& repository() const { return *repository_; }
  // The class in the command's namespace; none, with the failure filled in,
  // when the repository lacks it.
  std::shared_ptr<const ClassDefinition> findClass(const std::string& className, RequestOutcome& failure) const;

 private:
  // The module given on the command line, else the one registered for the
  // provider's CLSID, as COM would find it. Throws ProviderLinkError
  // (WBEM_E_PROVIDER_LOAD_FAILURE, as WMI answers) when there is none.
  std::string modulePath(const ClassProvider& served) const;
  // The provider, loaded and initialised for its first request.
  HostedProvider& provider(const ClassProvider& served);
  // The provider of the class for the request; null, with the failure
  // filled in, when a link from the class to its module is missing or
  // when another provider is loaded: wmihost hosts one a run.
  HostedProvider* providerOf(const ClassDefinition& definition, ProviderRequest request, RequestOutcome& failure);
  // The class of an object path that starts after offset characters of the
  // request's operand; none, with the failure filled in, for a malformed
  // path, a class the repository lacks or a key the class lacks.
  std::shared_ptr<const ClassDefinition> pathClass(const std::string& objectPath, std::size_t offset,
                                                   RequestOutcome& failure) const;
  // What the provider answered, with the hint to its reason where the code
  // alone does not tell it.
  RequestOutcome providerOutcome(RequestResult result) const;
  RequestOutcome enumerate(const std::string& className);
  RequestOutcome get(const std::string& objectPath);
  RequestOutcome query(const std::string& wql);
  RequestOutcome dataQuery(const std::string& wql, const WqlQuery& parsed);
  RequestOutcome associationQuery(const std::string& wql, const AssociationQuery& parsed);

  const CommandLine& command_;
  const Diagnostics& diagnostics_;
  std::shared_ptr<ClassRepository> repository_;
  // The module outlives the provider it made.
  std::optional<ProviderModule> module_;
  std::optional<HostedProvider> provider_;
  // The CLSID of the provider loaded.
  std::string providerClsid_;
};

}  // namespace wmihost
