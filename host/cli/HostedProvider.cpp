#include "host/cli/HostedProvider.h"

#include <stdexcept>
#include <utility>

#include "common/com/Bstr.h"
#include "common/com/TextConversion.h"
#include "host/cim/ClientCall.h"
#include "host/cim/InitSink.h"
#include "host/cim/NamespaceServices.h"
#include "host/cim/ObjectSink.h"
#include "host/cli/OperationError.h"

namespace wmihost {

using qrv::com::Bstr;
using qrv::com::ComPtr;
using qrv::com::toWide;

namespace {

void check(const std::string& operation, HRESULT result) {
  if (FAILED(result)) throw OperationError(operation, result);
}

// The outcome of an asynchronous call: its failure when it refused at once,
// else what it reported through the sink.
RequestResult outcome(HRESULT returned, const ObjectSink& sink) {
  RequestResult result{returned, sink.objects()};
  const auto statuses = sink.statuses();
  if (SUCCEEDED(returned) && !statuses.empty()) result.result = statuses.back().result;
  return result;
}

}  // namespace

HostedProvider::HostedProvider(const ProviderModule& module, REFCLSID clsid,
                               std::shared_ptr<const ClassRepository> repository, const std::string& nameSpace,
                               DWORD level)
    : level_(level) {
  create(module, clsid);
  initialize(std::move(repository), nameSpace);
}

void HostedProvider::create(const ProviderModule& module, REFCLSID clsid) {
  ComPtr<IClassFactory> factory;
  check("DllGetClassObject", module.getClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.put())));
  check("CreateInstance",
        factory->CreateInstance(nullptr, IID_IWbemProviderInit, reinterpret_cast<void**>(init_.put())));
  check("QueryInterface(IWbemServices)",
        init_->QueryInterface(IID_IWbemServices, reinterpret_cast<void**>(services_.put())));
}

void HostedProvider::initialize(std::shared_ptr<const ClassRepository> repository, const std::string& nameSpace) {
  const auto namespaceServices = NamespaceServices::create(std::move(repository), nameSpace);
  const auto sink = InitSink::create();
  qrv::com::WideText name = toWide(nameSpace);
  HRESULT result;
  {
    ClientCall call(level_);
    result = init_->Initialize(nullptr, 0, name.data(), nullptr, namespaceServices.get(), nullptr, sink.get());
  }
  check("Initialize", result);
  const auto statuses = sink->statuses();
  if (statuses.empty()) throw std::runtime_error("Initialize succeeded without reporting its status");
  check("Initialize", statuses.back().status);
}

RequestResult HostedProvider::enumerate(const std::string& className) {
  const Bstr name(toWide(className));
  const auto sink = ObjectSink::create();
  ClientCall call(level_);
  return outcome(services_->CreateInstanceEnumAsync(name.get(), 0, nullptr, sink.get()), *sink);
}

RequestResult HostedProvider::get(const std::string& objectPath) {
  const Bstr path(toWide(objectPath));
  const auto sink = ObjectSink::create();
  ClientCall call(level_);
  return outcome(services_->GetObjectAsync(path.get(), 0, nullptr, sink.get()), *sink);
}

RequestResult HostedProvider::query(const std::string& wql) {
  const Bstr language(toWide("WQL"));
  const Bstr text(toWide(wql));
  const auto sink = ObjectSink::create();
  ClientCall call(level_);
  return outcome(services_->ExecQueryAsync(language.get(), text.get(), 0, nullptr, sink.get()), *sink);
}

}  // namespace wmihost
