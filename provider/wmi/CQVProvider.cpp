#include "provider/wmi/CQVProvider.h"

#include <optional>
#include <utility>
#include <vector>

#include "common/com/Bstr.h"
#include "common/com/CallGuard.h"
#include "common/com/TextConversion.h"
#include "provider/diagnostic/Diagnostic.h"
#include "provider/registration/ClassLoader.h"
#include "provider/request/document/HostName.h"
#include "provider/wmi/CallerCheck.h"
#include "provider/wmi/ClientImpersonation.h"
#include "provider/wmi/DiagnosticText.h"
#include "provider/wmi/FillInstance.h"
#include "provider/wmi/ObjectPathKeys.h"
#include "provider/wmi/RequestResult.h"
#include "provider/wmi/WbemResult.h"

namespace qrv::cim {

using com::Bstr;
using com::ComPtr;
using com::toUtf8;
using com::toWide;

namespace {

// Initialize waits this long before anything else.
constexpr DWORD kInitializePauseMs = 6000;

// WMI's codes for an exception that ends an operation.
constexpr com::FailureCodes kWmiFailures{wbemResult(WBEM_E_OUT_OF_MEMORY), wbemResult(WBEM_E_PROVIDER_FAILURE)};
// Initialize's: anything but running out of memory means that the provider
// could not start, the XML libraries most likely.
constexpr com::FailureCodes kInitializeFailures{wbemResult(WBEM_E_OUT_OF_MEMORY),
                                                wbemResult(WBEM_E_INITIALIZATION_FAILURE)};

// Runs an operation that reports to the sink. An exception that ends it is
// reported to the sink as the one completion status, and returned; the
// operation's impersonation is reverted by then.
template <class Operation>
HRESULT guardReporting(IWbemObjectSink* sink, Operation operation) {
  return com::guardCall(kWmiFailures, operation, [sink](HRESULT hr) {
    if (sink) sink->SetStatus(WBEM_STATUS_COMPLETE, hr, nullptr, nullptr);
  });
}

// Names an instance that is not delivered by its first few values.
void diagnoseDroppedInstance(IWbemClassObject* classDefinition, const ParsedInstance& parsed,
                             const std::string& reason) {
  diagnose([&] {
    constexpr std::size_t kShown = 3;
    std::string values;
    std::size_t shown = 0;
    for (auto entry = parsed.begin(); entry != parsed.end() && shown < kShown; ++entry, ++shown) {
      const ParsedInstance::Property property = *entry;
      values.append(values.empty() ? "" : ", ").append(property.first).append(" = \"").append(property.second).append("\"");
    }
    if (parsed.size() > kShown) values += ", ...";
    return "dropped an instance of " + classNameOf(classDefinition) + " (" + values + "): " + reason;
  });
}

// Spawns an instance of the class, fills it and hands it to the sink. A fill
// failure that `allowed` does not let through becomes
// WBEM_E_PROVIDER_NOT_CAPABLE; WMI's own failures are returned unchanged.
HRESULT deliverInstance(IWbemClassObject* classDefinition, const ParsedInstance& parsed, IWbemObjectSink* sink,
                        bool (*allowed)(HRESULT)) {
  ComPtr<IWbemClassObject> instance;
  HRESULT hr = classDefinition->SpawnInstance(0, instance.put());
  if (FAILED(hr)) {
    diagnoseDroppedInstance(classDefinition, parsed, "SpawnInstance failed with " + hresultHex(hr));
    return hr;
  }
  hr = fillInstance(parsed, instance.get());
  if (FAILED(hr)) {
    diagnoseDroppedInstance(classDefinition, parsed, "an array could not be put: " + hresultHex(hr));
    return allowedOrNotCapable(hr, allowed);
  }
  IWbemClassObject* delivered = instance.get();
  hr = sink->Indicate(1, &delivered);
  if (FAILED(hr)) diagnoseDroppedInstance(classDefinition, parsed, "the sink refused it with " + hresultHex(hr));
  return hr;
}

// What a get answers for its request's status; a failure is named on the
// diagnostic channel.
HRESULT getResult(const std::string& path, RequestStatus status) {
  if (status != Ok) diagnose([&] { return "a get of " + path + " stopped: " + requestStatusText(status); });
  return allowedOrNotCapable(mapRequestStatus(status), isGetObjectStatus);
}

// The names of the keys a get of the class must be given.
std::vector<std::string> requiredKeys(const ClassMap& classMap) {
  std::vector<std::string> names;
  for (const Attribute& attribute : classMap.attributes()) {
    if (attribute.required()) names.push_back(attribute.name());
  }
  return names;
}

// Why Class=value or Class=@ does not fit a registration that requires the
// keys `required`.
std::string misfitReason(const ObjectPathParts& parts, const std::vector<std::string>& required) {
  std::string names;
  for (const std::string& name : required) names += (names.empty() ? "" : ", ") + name;
  return (parts.singleton ? "@ names a class without keys" : "a value without a key name needs one key") +
         std::string(", and it requires ") + (names.empty() ? "none" : names);
}

// "an enumeration of Korvex_Disk answers 0x80041003", when it failed.
void diagnoseOutcome(const char* request, const std::string& subject, HRESULT hr) {
  if (FAILED(hr)) diagnose([&] { return request + subject + " answers " + hresultHex(hr); });
}

}  // namespace

void CQVProvider::systemSleep(DWORD milliseconds) { Sleep(milliseconds); }

CQVProvider::CQVProvider(SleepFunction sleep, ServerModule* module)
    : ComObject(0), serverLock_(module), sleep_(std::move(sleep)) {}

CQVProvider::~CQVProvider() = default;

HRESULT CQVProvider::GetClassInfo(ITypeInfo** ppTI) {
  if (!ppTI) return E_POINTER;
  *ppTI = nullptr;
  ServerModule* module = serverLock_.module();
  if (!module) return TYPE_E_ELEMENTNOTFOUND;
  return com::guardCall(com::kComFailures, [&] { return module->classInfo(ppTI); });
}

HRESULT CQVProvider::Initialize(LPWSTR, LONG, LPWSTR wszNamespace, LPWSTR, IWbemServices* pNamespace,
                                IWbemContext*, IWbemProviderInitSink* pInitSink) {
  return com::guardCall(kInitializeFailures, [&] {
    sleep_(kInitializePauseMs);
    if (!pNamespace || !pInitSink) return wbemResult(WBEM_E_INVALID_PARAMETER);
    const HRESULT caller = checkCaller();
    if (FAILED(caller)) return caller;
    return start(wszNamespace, pNamespace, pInitSink);
  });
}

HRESULT CQVProvider::start(LPWSTR nameSpace, IWbemServices* services, IWbemProviderInitSink* initSink) {
  ClientImpersonation impersonation;
  impersonation.begin();  // without it the provider starts under its own identity
  namespaceServices_.assign(services);
  if (FAILED(CoGetClassObject(CLSID_WbemDefPath, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                              reinterpret_cast<void**>(pathParserFactory_.put())))) {
    return wbemResult(WBEM_E_INITIALIZATION_FAILURE);
  }
  dispatcher_ = std::make_unique<QVDispatch>();
  nameSpace_ = toUtf8(nameSpace);
  if (dispatcher_->initialize(nameSpace_) < 0) return wbemResult(WBEM_E_INITIALIZATION_FAILURE);
  initSink->SetStatus(WBEM_S_INITIALIZED, 0);
  return wbemResult(WBEM_S_NO_ERROR);
}

HRESULT CQVProvider::CreateInstanceEnumAsync(const BSTR strFilter, LONG, IWbemContext* pCtx,
                                             IWbemObjectSink* pResponseHandler) {
  return guardReporting(pResponseHandler, [&] { return enumerate(strFilter, pCtx, pResponseHandler); });
}

HRESULT CQVProvider::enumerate(const BSTR className, IWbemContext* context, IWbemObjectSink* sink) {
  const std::string name = toUtf8(className);
  if (!sink || name.empty()) return wbemResult(WBEM_E_INVALID_PARAMETER);
  ClientImpersonation impersonation;
  HRESULT hr = checkCaller();
  if (SUCCEEDED(hr)) hr = impersonation.begin();
  if (SUCCEEDED(hr)) hr = deliverEnumeration(className, name, context, sink);
  diagnoseOutcome("an enumeration of ", name, hr);
  sink->SetStatus(WBEM_STATUS_COMPLETE, hr, nullptr, nullptr);
  return hr;
}

HRESULT CQVProvider::deliverEnumeration(const BSTR className, const std::string& name, IWbemContext* context,
                                        IWbemObjectSink* sink) {
  ComPtr<IWbemClassObject> classDefinition;
  HRESULT hr = namespaceServices_->GetObject(className, 0, context, classDefinition.put(), nullptr);
  if (FAILED(hr)) return hr;
  std::vector<ParsedInstance> instances;
  const RequestStatus status = dispatcher_->enumerate(name, instances, "");
  if (status != Ok) diagnose([&] { return "an enumeration of " + name + " stopped: " + requestStatusText(status); });
  hr = allowedOrNotCapable(mapRequestStatus(status), isEnumerationStatus);
  if (FAILED(hr)) return hr;
  // Every instance is tried; the outcome is that of the last one.
  for (const ParsedInstance& parsed : instances) {
    hr = deliverInstance(classDefinition.get(), parsed, sink, isEnumerationStatus);
  }
  return hr;
}

HRESULT CQVProvider::GetObjectAsync(const BSTR strObjectPath, LONG, IWbemContext* pCtx,
                                    IWbemObjectSink* pResponseHandler) {
  return guardReporting(pResponseHandler, [&] { return get(strObjectPath, pCtx, pResponseHandler); });
}

HRESULT CQVProvider::get(const BSTR objectPath, IWbemContext* context, IWbemObjectSink* sink) {
  const std::string path = toUtf8(objectPath);
  const ObjectPathParts parts = readObjectPath(path);
  if (!sink || parts.className.empty()) return wbemResult(WBEM_E_INVALID_PARAMETER);
  ClientImpersonation impersonation;
  HRESULT hr = checkCaller();
  if (SUCCEEDED(hr)) {
    impersonation.begin();  // a get goes on without impersonation when it fails
    hr = deliverObject(path, parts, context, sink);
  }
  diagnoseOutcome("a get of ", path, hr);
  sink->SetStatus(WBEM_STATUS_COMPLETE, hr, nullptr, nullptr);
  return hr;
}

HRESULT CQVProvider::deliverObject(const std::string& path, const ObjectPathParts& parts, IWbemContext* context,
                                   IWbemObjectSink* sink) {
  KeyValues keys;
  HRESULT hr = requestKeys(path, parts, keys);
  if (FAILED(hr)) return hr;
  ParsedInstance parsed;
  hr = getResult(path, dispatcher_->getInstance(parts.className, keys, parsed, ""));
  if (FAILED(hr)) return hr;
  if (parsed.empty()) {  // no instance has these keys
    diagnose([&] { return "a get of " + path + " found nothing: the stylesheet wrote no statement"; });
    return wbemResult(WBEM_E_NOT_FOUND);
  }
  ComPtr<IWbemClassObject> classDefinition;
  const Bstr wideClassName(toWide(parts.className, CP_THREAD_ACP));
  hr = namespaceServices_->GetObject(wideClassName.get(), 0, context, classDefinition.put(), nullptr);
  if (FAILED(hr)) return hr;
  return deliverInstance(classDefinition.get(), parsed, sink, isGetObjectStatus);
}

HRESULT CQVProvider::requestKeys(const std::string& path, const ObjectPathParts& parts, KeyValues& keys) const {
  HRESULT hr = checkPlace(path, parts);
  if (SUCCEEDED(hr)) hr = keysOf(path, parts, keys);
  if (SUCCEEDED(hr) && !keysFitTheRequestDocument(keys)) {
    diagnose([&] { return "a get of " + path + ": a key holds a character that XML cannot carry"; });
    hr = wbemResult(WBEM_E_INVALID_OBJECT_PATH);
  }
  return hr;
}

HRESULT CQVProvider::checkPlace(const std::string& path, const ObjectPathParts& parts) const {
  if (!isThisMachine(parts.server, hostName())) {
    diagnose([&] { return "a get of " + path + " names the server " + parts.server + ", which is not this machine"; });
    return HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE);
  }
  if (!parts.nameSpace.empty() && !isSameNamespace(parts.nameSpace, nameSpace_)) {
    diagnose([&] {
      return "a get of " + path + " names the namespace " + parts.nameSpace + ", and the provider serves " + nameSpace_;
    });
    return wbemResult(WBEM_E_INVALID_NAMESPACE);
  }
  return wbemResult(WBEM_S_NO_ERROR);
}

HRESULT CQVProvider::keysOf(const std::string& path, const ObjectPathParts& parts, KeyValues& keys) const {
  if (!parts.unnamedValue && !parts.singleton) {
    keys = parts.keys;
    return wbemResult(WBEM_S_NO_ERROR);
  }
  const ClassMap* classMap = findClassMap(nameSpace_, parts.className);
  if (!classMap) return getResult(path, NotAccessible);
  const std::vector<std::string> required = requiredKeys(*classMap);
  std::optional<KeyValues> named = keysByName(parts, required);
  if (!named) {
    diagnose([&] { return "a get of " + path + " does not fit the registration of " + parts.className + ": " +
                          misfitReason(parts, required); });
    return wbemResult(WBEM_E_INVALID_OBJECT_PATH);
  }
  keys = std::move(*named);
  return wbemResult(WBEM_S_NO_ERROR);
}

HRESULT CQVProvider::ExecQueryAsync(const BSTR, const BSTR, LONG, IWbemContext*, IWbemObjectSink*) {
  // A query never reaches the sink, not even to report an exception.
  return com::guardCall(kWmiFailures, [] {
    const HRESULT hr = checkCaller();
    if (FAILED(hr)) return hr;
    ClientImpersonation impersonation;
    impersonation.begin();
    return wbemResult(WBEM_E_NOT_SUPPORTED);
  });
}

HRESULT CQVProvider::OpenNamespace(const BSTR, LONG, IWbemContext*, IWbemServices**, IWbemCallResult**) {
  return wbemResult(WBEM_E_NOT_SUPPORTED);
}

HRESULT CQVProvider::CancelAsyncCall(IWbemObjectSink*) { return wbemResult(WBEM_E_NOT_SUPPORTED); }

HRESULT CQVProvider::QueryObjectSink(LONG, IWbemObjectSink**) { return wbemResult(WBEM_E_NOT_SUPPORTED); }

HRESULT CQVProvider::GetObject(const BSTR, LONG, IWbemContext*, IWbemClassObject**, IWbemCallResult**) {
  return wbemResult(WBEM_E_NOT_SUPPORTED);
}

HRESULT CQVProvider::PutClass(IWbemClassObject*, LONG, IWbemContext*, IWbemCallResult**) {
  return wbemResult(WBEM_E_NOT_SUPPORTED);
}

HRESULT CQVProvider::PutClassAsync(IWbemClassObject*, LONG, IWbemContext*, IWbemObjectSink*) {
  return wbemResult(WBEM_E_NOT_SUPPORTED);
}

HRESULT CQVProvider::DeleteClass(const BSTR, LONG, IWbemContext*, IWbemCallResult**) {
  return wbemResult(WBEM_E_NOT_SUPPORTED);
}

HRESULT CQVProvider::DeleteClassAsync(const BSTR, LONG, IWbemContext*, IWbemObjectSink*) {
  return wbemResult(WBEM_E_NOT_SUPPORTED);
}

HRESULT CQVProvider::CreateClassEnum(const BSTR, LONG, IWbemContext*, IEnumWbemClassObject**) {
  return wbemResult(WBEM_E_NOT_SUPPORTED);
}

HRESULT CQVProvider::CreateClassEnumAsync(const BSTR, LONG, IWbemContext*, IWbemObjectSink*) {
  return wbemResult(WBEM_E_NOT_SUPPORTED);
}

HRESULT CQVProvider::PutInstance(IWbemClassObject*, LONG, IWbemContext*, IWbemCallResult**) {
  return wbemResult(WBEM_E_NOT_SUPPORTED);
}

HRESULT CQVProvider::PutInstanceAsync(IWbemClassObject*, LONG, IWbemContext*, IWbemObjectSink*) {
  return wbemResult(WBEM_E_METHOD_NOT_IMPLEMENTED);
}

HRESULT CQVProvider::DeleteInstance(const BSTR, LONG, IWbemContext*, IWbemCallResult**) {
  return wbemResult(WBEM_E_NOT_SUPPORTED);
}

HRESULT CQVProvider::DeleteInstanceAsync(const BSTR, LONG, IWbemContext*, IWbemObjectSink*) {
  return wbemResult(WBEM_E_METHOD_NOT_IMPLEMENTED);
}

HRESULT CQVProvider::CreateInstanceEnum(const BSTR, LONG, IWbemContext*, IEnumWbemClassObject**) {
  return wbemResult(WBEM_E_NOT_SUPPORTED);
}

HRESULT CQVProvider::ExecQuery(const BSTR, const BSTR, LONG, IWbemContext*, IEnumWbemClassObject**) {
  return wbemResult(WBEM_E_NOT_SUPPORTED);
}

HRESULT CQVProvider::ExecNotificationQuery(const BSTR, const BSTR, LONG, IWbemContext*, IEnumWbemClassObject**) {
  return wbemResult(WBEM_E_NOT_SUPPORTED);
}

HRESULT CQVProvider::ExecNotificationQueryAsync(const BSTR, const BSTR, LONG, IWbemContext*, IWbemObjectSink*) {
  return wbemResult(WBEM_E_NOT_SUPPORTED);
}

HRESULT CQVProvider::ExecMethod(const BSTR, const BSTR, LONG, IWbemContext*, IWbemClassObject*, IWbemClassObject**,
                                IWbemCallResult**) {
  return wbemResult(WBEM_E_NOT_SUPPORTED);
}

HRESULT CQVProvider::ExecMethodAsync(const BSTR, const BSTR, LONG, IWbemContext*, IWbemClassObject*,
                                     IWbemObjectSink*) {
  return wbemResult(WBEM_E_METHOD_NOT_IMPLEMENTED);
}

}  // namespace qrv::cim
