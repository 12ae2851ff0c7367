#pragma once
// The stand-in's IWbemClassObject: a class definition from the repository,
// or an instance spawned from one. Properties keep their declared order;
// names are found ignoring case. Besides the class's properties an object
// answers WMI's system properties, read-only (see SystemProperties.h).
//
// Get reports the flavor WBEM_FLAVOR_ORIGIN_SYSTEM for a system property,
// WBEM_FLAVOR_ORIGIN_PROPAGATED for an inherited one, else _LOCAL. Put on a
// class object sets the default that instances spawned later start with;
// the properties themselves are fixed by the MOF, so a Put of an unknown
// name is WBEM_E_NOT_FOUND on classes and instances alike.
//
// Implemented: Get, Put (see value_conversion.h), GetNames (no qualifier
// filter), BeginEnumeration, Next, EndEnumeration, Clone, GetObjectText and
// SpawnInstance (on a class). Everything else - qualifier sets, methods,
// comparison, derivation, Delete - answers WBEM_E_NOT_SUPPORTED: this
// stand-in does not offer it, and that is WMI's own answer for an operation
// it cannot carry out. The reference count is atomic; the rest of the object
// is not locked, as a WMI object is used by one thread at a time.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/com/ComObject.h"
#include "common/com/ComPtr.h"
#include "common/com/Variant.h"
#include "host/cim/ClassDefinition.h"

namespace wmihost {


class WbemObject final
    : public qrv::com::ComObject<qrv::com::Threading::Free,
                                 qrv::com::Implements<IWbemClassObject, IID_IWbemClassObject>> {
 public:
  // The class object of definition, its properties unset.
  static qrv::com::ComPtr<WbemObject> newClass(std::shared_ptr<const ClassDefinition> definition);
  // The stand-in's object behind an interface pointer; null for any other.
  static WbemObject* from(IWbemClassObject* object);
  // The same for an object a provider delivered, which the host made; throws
  // std::runtime_error for any other.
  static const WbemObject& delivered(IWbemClassObject* object);

  bool isInstance() const { return genus_ == WBEM_GENUS_INSTANCE; }
  const ClassDefinition& definition() const { return *definition_; }
  // The value of definition().properties[index]: VT_NULL when unset, else the stored
  // form (see cim_types.h).
  const VARIANT& value(std::size_t index) const { return *values_.at(index); }

  HRESULT STDMETHODCALLTYPE GetQualifierSet(IWbemQualifierSet** ppQualSet) override;
  HRESULT STDMETHODCALLTYPE Get(LPCWSTR wszName, LONG lFlags, VARIANT* pVal, CIMTYPE* pType, LONG* plFlavor) override;
  HRESULT STDMETHODCALLTYPE Put(LPCWSTR wszName, LONG lFlags, VARIANT* pVal, CIMTYPE Type) override;
  HRESULT STDMETHODCALLTYPE Delete(LPCWSTR wszName) override;
  HRESULT STDMETHODCALLTYPE GetNames(LPCWSTR wszQualifierName, LONG lFlags, VARIANT* pQualifierVal,
                                     SAFEARRAY** pNames) override;
  HRESULT STDMETHODCALLTYPE BeginEnumeration(LONG lEnumFlags) override;
  HRESULT STDMETHODCALLTYPE Next(LONG lFlags, BSTR* strName, VARIANT* pVal, CIMTYPE* pType, LONG* plFlavor) override;
  HRESULT STDMETHODCALLTYPE EndEnumeration() override;
  HRESULT STDMETHODCALLTYPE GetPropertyQualifierSet(LPCWSTR wszProperty, IWbemQualifierSet** ppQualSet) override;
  HRESULT STDMETHODCALLTYPE Clone(IWbemClassObject** ppCopy) override;
  HRESULT STDMETHODCALLTYPE GetObjectText(LONG lFlags, BSTR* pstrObjectText) override;
  HRESULT STDMETHODCALLTYPE SpawnDerivedClass(LONG lFlags, IWbemClassObject** ppNewClass) override;
  HRESULT STDMETHODCALLTYPE SpawnInstance(LONG lFlags, IWbemClassObject** ppNewInstance) override;
  HRESULT STDMETHODCALLTYPE CompareTo(LONG lFlags, IWbemClassObject* pCompareTo) override;
  HRESULT STDMETHODCALLTYPE GetPropertyOrigin(LPCWSTR wszName, BSTR* pstrClassName) override;
  HRESULT STDMETHODCALLTYPE InheritsFrom(LPCWSTR strAncestor) override;
  HRESULT STDMETHODCALLTYPE GetMethod(LPCWSTR wszName, LONG lFlags, IWbemClassObject** ppInSignature,
                                      IWbemClassObject** ppOutSignature) override;
  HRESULT STDMETHODCALLTYPE PutMethod(LPCWSTR wszName, LONG lFlags, IWbemClassObject* pInSignature,
                                      IWbemClassObject* pOutSignature) override;
  HRESULT STDMETHODCALLTYPE DeleteMethod(LPCWSTR wszName) override;
  HRESULT STDMETHODCALLTYPE BeginMethodEnumeration(LONG lEnumFlags) override;
  HRESULT STDMETHODCALLTYPE NextMethod(LONG lFlags, BSTR* pstrName, IWbemClassObject** ppInSignature,
                                       IWbemClassObject** ppOutSignature) override;
  HRESULT STDMETHODCALLTYPE EndMethodEnumeration() override;
  HRESULT STDMETHODCALLTYPE GetMethodQualifierSet(LPCWSTR wszMethod, IWbemQualifierSet** ppQualSet) override;
  HRESULT STDMETHODCALLTYPE GetMethodOrigin(LPCWSTR wszMethodName, BSTR* pstrClassName) override;

 private:
  WbemObject(std::shared_ptr<const ClassDefinition> definition, WBEM_GENUS_TYPE genus,
             std::vector<qrv::com::Variant> values);

  // The names that flags select, system properties first; none for flags
  // outside WBEM_FLAG_KEYS_ONLY, WBEM_FLAG_REFS_ONLY and the origin conditions.
  std::optional<std::vector<std::string>> namesFor(LONG flags) const;

  std::shared_ptr<const ClassDefinition> definition_;
  WBEM_GENUS_TYPE genus_;
  std::vector<qrv::com::Variant> values_;
  // The names still to come from Next, while an enumeration runs.
  std::optional<std::vector<std::string>> enumeration_;
  std::size_t enumerated_ = 0;
};

}  // namespace wmihost
