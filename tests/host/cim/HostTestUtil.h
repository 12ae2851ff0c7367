#pragma once
// Helpers for the stand-in's tests: classes from inline MOF, and Get and
// Put with plain text.

#include <memory>
#include <string>
#include <string_view>

#include "host/cim/ClassRepository.h"
#include "host/cim/WbemObject.h"
#include "common/com/ComPtr.h"
#include "common/com/Variant.h"

namespace wmihost::test {

using qrv::cim::ComPtr;
using qrv::cim::Variant;

constexpr HRESULT hr(long code) { return static_cast<HRESULT>(code); }

inline std::shared_ptr<ClassRepository> repositoryOf(std::string_view mof) {
  auto repository = std::make_shared<ClassRepository>();
  repository->loadText(mof, "test.mof");
  return repository;
}

inline ComPtr<WbemObject> classOf(const ClassRepository& repository, std::string_view name) {
  return WbemObject::newClass(repository.find("root\\cimv2", name));
}

inline ComPtr<IWbemClassObject> spawn(IWbemClassObject* classObject) {
  ComPtr<IWbemClassObject> instance;
  if (FAILED(classObject->SpawnInstance(0, instance.put()))) return {};
  return instance;
}

inline Variant get(IWbemClassObject* object, std::u16string_view name) {
  Variant value;
  object->Get(std::u16string(name).c_str(), 0, value.put(), nullptr, nullptr);
  return value;
}

inline HRESULT putText(IWbemClassObject* object, std::u16string_view name, std::u16string_view text) {
  Variant value = Variant::text(text);
  return object->Put(std::u16string(name).c_str(), 0, value.get(), 0);
}

inline std::u16string textOf(const Variant& value) {
  return value->vt == VT_BSTR ? std::u16string(value->bstrVal, SysStringLen(value->bstrVal)) : u"<not text>";
}

}  // namespace wmihost::test
