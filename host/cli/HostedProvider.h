#pragma once
// A provider created and initialised the way WMI does it, and the requests
// that wmihost puts to it. Every call into the provider runs inside a client
// call of the chosen impersonation level.

#include <memory>
#include <string>
#include <vector>

#include "common/com/ComPtr.h"
#include "host/cim/ClassRepository.h"
#include "host/cim/PathParserRegistration.h"
#include "host/cli/ProviderModule.h"

namespace wmihost {

// What a request delivered: its outcome, and the objects that reached the
// sink, in order, whatever the outcome.
struct RequestResult {
  HRESULT result = S_OK;
  std::vector<qrv::com::ComPtr<IWbemClassObject>> objects;
};

class HostedProvider {
 public:
  // Creates the provider from the module's class object of clsid and
  // initialises it with the namespace's services over repository. Throws
  // OperationError when a step fails, std::runtime_error when Initialize
  // succeeds without reporting to its sink.
  HostedProvider(const ProviderModule& module, REFCLSID clsid, std::shared_ptr<const ClassRepository> repository,
                 const std::string& nameSpace, DWORD level);

  // CreateInstanceEnumAsync of the class.
  RequestResult enumerate(const std::string& className);
  // GetObjectAsync of the object path.
  RequestResult get(const std::string& objectPath);
  // ExecQueryAsync of the WQL query.
  RequestResult query(const std::string& wql);

 private:
  void create(const ProviderModule& module, REFCLSID clsid);
  void initialize(std::shared_ptr<const ClassRepository> repository, const std::string& nameSpace);

  DWORD level_;
  // Registered while the provider lives, as WMI's own path parser is.
  PathParserRegistration pathParser_;
  qrv::com::ComPtr<IWbemProviderInit> init_;
  qrv::com::ComPtr<IWbemServices> services_;
};

}  // namespace wmihost
