#pragma once
// Helpers for the stand-in's tests: classes from inline MOF, and Get and
// Put with plain text.

#include <memory>
#include <string>
#include <string_view>

#include "common/com/ComPtr.h"
#include "common/com/Variant.h"
#include "host/cim/ClassRepository.h"
#include "host/cim/WbemObject.h"

namespace wmihost::test {


constexpr HRESULT hr(long code) { return static_cast<HRESULT>(code); }

inline std::shared_ptr<ClassRepository> repositoryOf(std::string_view mof) {
  auto repository = std::make_shared<ClassRepository>();
  repository->loadText(mof, "test.mof");
  return repository;
}

inline qrv::com::ComPtr<WbemObject> classOf(const ClassRepository& repository, std::string_view name) {
  return WbemObject::newClass(repository.find("root\\cimv2", name));
}

inline qrv::com::ComPtr<IWbemClassObject> spawn(IWbemClassObject* classObject) {
  qrv::com::ComPtr<IWbemClassObject> instance;
  if (FAILED(classObject->SpawnInstance(0, instance.put()))) return {};
  return instance;
}

inline qrv::com::Variant get(IWbemClassObject* object, std::u16string_view name) {
  qrv::com::Variant value;
  object->Get(std::u16string(name).c_str(), 0, value.put(), nullptr, nullptr);
  return value;
}

inline HRESULT putText(IWbemClassObject* object, std::u16string_view name, std::u16string_view text) {
  qrv::com::Variant value = qrv::com::Variant::text(text);
  return object->Put(std::u16string(name).c_str(), 0, value.get(), 0);
}

inline std::u16string textOf(const qrv::com::Variant& value) {
  return value->vt == VT_BSTR ? std::u16string(value->bstrVal, SysStringLen(value->bstrVal)) : u"<not text>";
}

}  // namespace wmihost::test
