#include "host/cim/NamespaceServices.h"

#include <utility>

#include "common/com/CallGuard.h"
#include "common/com/TextConversion.h"
#include "host/cim/ObjectPathPlace.h"
#include "host/cim/WbemObject.h"

namespace wmihost {

using qrv::com::ComPtr;
using qrv::com::toUtf8;

namespace {

constexpr HRESULT kNotSupported = static_cast<HRESULT>(WBEM_E_NOT_SUPPORTED);
// WMI's codes for a call that ends in an exception.
constexpr qrv::com::FailureCodes kWmiFailures{static_cast<HRESULT>(WBEM_E_OUT_OF_MEMORY),
                                              static_cast<HRESULT>(WBEM_E_FAILED)};

}  // namespace

NamespaceServices::NamespaceServices(std::shared_ptr<const ClassRepository> repository, std::string nameSpace)
    : repository_(std::move(repository)), nameSpace_(std::move(nameSpace)) {}

ComPtr<NamespaceServices> NamespaceServices::create(std::shared_ptr<const ClassRepository> repository,
                                                    std::string nameSpace) {
  return ComPtr<NamespaceServices>::adopt(new NamespaceServices(std::move(repository), std::move(nameSpace)));
}

HRESULT NamespaceServices::GetObject(const BSTR strObjectPath, LONG, IWbemContext*, IWbemClassObject** ppObject,
                                     IWbemCallResult** ppCallResult) {
  if (ppCallResult) *ppCallResult = nullptr;
  if (!ppObject) return static_cast<HRESULT>(WBEM_E_INVALID_PARAMETER);
  *ppObject = nullptr;
  return qrv::com::guardCall(kWmiFailures, [&] { return getClass(toUtf8(strObjectPath), *ppObject); });
}

HRESULT NamespaceServices::getClass(const std::string& path, IWbemClassObject*& object) const {
  if (path.empty()) return static_cast<HRESULT>(WBEM_E_INVALID_PARAMETER);
  ObjectPath parsed;
  try {
    parsed = parseObjectPath(path);
  } catch (const ObjectPathError&) {
    return static_cast<HRESULT>(WBEM_E_INVALID_OBJECT_PATH);
  }
  if (const auto refusal = placeRefusal(parsed, nameSpace_)) return refusal->result;
  if (!parsed.keys.empty() || parsed.singletonPosition) return static_cast<HRESULT>(WBEM_E_NOT_FOUND);
  auto definition = repository_->find(nameSpace_, parsed.className);
  if (!definition) return static_cast<HRESULT>(WBEM_E_NOT_FOUND);
  object = WbemObject::newClass(std::move(definition)).detach();
  return S_OK;
}

HRESULT NamespaceServices::OpenNamespace(const BSTR, LONG, IWbemContext*, IWbemServices**, IWbemCallResult**) {
  return kNotSupported;
}
HRESULT NamespaceServices::CancelAsyncCall(IWbemObjectSink*) { return kNotSupported; }
HRESULT NamespaceServices::QueryObjectSink(LONG, IWbemObjectSink**) { return kNotSupported; }
HRESULT NamespaceServices::GetObjectAsync(const BSTR, LONG, IWbemContext*, IWbemObjectSink*) { return kNotSupported; }
HRESULT NamespaceServices::PutClass(IWbemClassObject*, LONG, IWbemContext*, IWbemCallResult**) { return kNotSupported; }
HRESULT NamespaceServices::PutClassAsync(IWbemClassObject*, LONG, IWbemContext*, IWbemObjectSink*) {
  return kNotSupported;
}
HRESULT NamespaceServices::DeleteClass(const BSTR, LONG, IWbemContext*, IWbemCallResult**) { return kNotSupported; }
HRESULT NamespaceServices::DeleteClassAsync(const BSTR, LONG, IWbemContext*, IWbemObjectSink*) { return kNotSupported; }
HRESULT NamespaceServices::CreateClassEnum(const BSTR, LONG, IWbemContext*, IEnumWbemClassObject**) {
  return kNotSupported;
}
HRESULT NamespaceServices::CreateClassEnumAsync(const BSTR, LONG, IWbemContext*, IWbemObjectSink*) {
  return kNotSupported;
}
HRESULT NamespaceServices::PutInstance(IWbemClassObject*, LONG, IWbemContext*, IWbemCallResult**) {
  return kNotSupported;
}
HRESULT NamespaceServices::PutInstanceAsync(IWbemClassObject*, LONG, IWbemContext*, IWbemObjectSink*) {
  return kNotSupported;
}
HRESULT NamespaceServices::DeleteInstance(const BSTR, LONG, IWbemContext*, IWbemCallResult**) { return kNotSupported; }
HRESULT NamespaceServices::DeleteInstanceAsync(const BSTR, LONG, IWbemContext*, IWbemObjectSink*) {
  return kNotSupported;
}
HRESULT NamespaceServices::CreateInstanceEnum(const BSTR, LONG, IWbemContext*, IEnumWbemClassObject**) {
  return kNotSupported;
}
HRESULT NamespaceServices::CreateInstanceEnumAsync(const BSTR, LONG, IWbemContext*, IWbemObjectSink*) {
  return kNotSupported;
}
HRESULT NamespaceServices::ExecQuery(const BSTR, const BSTR, LONG, IWbemContext*, IEnumWbemClassObject**) {
  return kNotSupported;
}
HRESULT NamespaceServices::ExecQueryAsync(const BSTR, const BSTR, LONG, IWbemContext*, IWbemObjectSink*) {
  return kNotSupported;
}
HRESULT NamespaceServices::ExecNotificationQuery(const BSTR, const BSTR, LONG, IWbemContext*, IEnumWbemClassObject**) {
  return kNotSupported;
}
HRESULT NamespaceServices::ExecNotificationQueryAsync(const BSTR, const BSTR, LONG, IWbemContext*, IWbemObjectSink*) {
  return kNotSupported;
}
HRESULT NamespaceServices::ExecMethod(const BSTR, const BSTR, LONG, IWbemContext*, IWbemClassObject*,
                                      IWbemClassObject**, IWbemCallResult**) {
  return kNotSupported;
}
HRESULT NamespaceServices::ExecMethodAsync(const BSTR, const BSTR, LONG, IWbemContext*, IWbemClassObject*,
                                           IWbemObjectSink*) {
  return kNotSupported;
}

}  // namespace wmihost
