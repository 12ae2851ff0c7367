#include "host/cim/WbemObject.h"

#include <stdexcept>
#include <utility>

#include "common/com/Bstr.h"
#include "common/com/TextConversion.h"
#include "host/cim/CimTypes.h"
#include "host/cim/ObjectText.h"
#include "host/cim/SafeArrayElements.h"
#include "host/cim/SystemProperties.h"
#include "host/cim/ValueConversion.h"

namespace wmihost {

using qrv::com::Bstr;
using qrv::com::ComPtr;
using qrv::com::Variant;
using qrv::com::toWide;

namespace {

constexpr HRESULT kNotSupported = static_cast<HRESULT>(WBEM_E_NOT_SUPPORTED);
constexpr HRESULT kInvalidParameter = static_cast<HRESULT>(WBEM_E_INVALID_PARAMETER);
constexpr LONG kOriginConditions = WBEM_MASK_CONDITION_ORIGIN;
constexpr LONG kNameFilters = WBEM_FLAG_KEYS_ONLY | WBEM_FLAG_REFS_ONLY | kOriginConditions;

// Whether a class property passes the origin condition of flags.
bool matchesOrigin(LONG origin, const PropertyDefinition& property, const std::string& className) {
  switch (origin) {
    case 0:
    case WBEM_FLAG_NONSYSTEM_ONLY:
      return true;
    case WBEM_FLAG_LOCAL_ONLY:
      return property.origin == className;
    case WBEM_FLAG_PROPAGATED_ONLY:
      return property.origin != className;
    default:
      return false;
  }
}

bool matchesKind(LONG flags, const PropertyDefinition& property) {
  if ((flags & WBEM_FLAG_KEYS_ONLY) && !property.key) return false;
  return !(flags & WBEM_FLAG_REFS_ONLY) || scalarOf(property.type) == CIM_REFERENCE;
}

// Hands what Get reads to the caller's outputs, each of which may be null.
HRESULT answer(const Variant& value, CIMTYPE type, LONG flavor, VARIANT* pVal, CIMTYPE* pType,
               LONG* plFlavor) {
  if (pVal && FAILED(value.copyTo(pVal))) return static_cast<HRESULT>(WBEM_E_OUT_OF_MEMORY);
  if (pType) *pType = type;
  if (plFlavor) *plFlavor = flavor;
  return S_OK;
}

HRESULT toSafeArray(const std::vector<std::string>& names, SAFEARRAY** out) {
  *out = newTextArray(names);
  return *out ? S_OK : static_cast<HRESULT>(WBEM_E_OUT_OF_MEMORY);
}

}  // namespace

WbemObject::WbemObject(std::shared_ptr<const ClassDefinition> definition, WBEM_GENUS_TYPE genus,
                       std::vector<Variant> values)
    : definition_(std::move(definition)), genus_(genus), values_(std::move(values)) {}

ComPtr<WbemObject> WbemObject::newClass(std::shared_ptr<const ClassDefinition> definition) {
  std::vector<Variant> values(definition->properties.size(), Variant::null());
  return ComPtr<WbemObject>::adopt(new WbemObject(std::move(definition), WBEM_GENUS_CLASS, std::move(values)));
}

WbemObject* WbemObject::from(IWbemClassObject* object) { return dynamic_cast<WbemObject*>(object); }

const WbemObject& WbemObject::delivered(IWbemClassObject* object) {
  const WbemObject* own = from(object);
  if (!own) throw std::runtime_error("the provider delivered an object that the host did not make");
  return *own;
}

std::optional<std::vector<std::string>> WbemObject::namesFor(LONG flags) const {
  const LONG origin = flags & kOriginConditions;
  if ((flags & ~kNameFilters) != 0 || origin > WBEM_FLAG_NONSYSTEM_ONLY) return std::nullopt;
  std::vector<std::string> names;
  const bool withSystem = origin == 0 || origin == WBEM_FLAG_SYSTEM_ONLY;
  if (withSystem && !(flags & (WBEM_FLAG_KEYS_ONLY | WBEM_FLAG_REFS_ONLY))) {
    names.assign(kSystemProperties.begin(), kSystemProperties.end());
  }
  for (const PropertyDefinition& property : definition_->properties) {
    if (matchesOrigin(origin, property, definition_->name) && matchesKind(flags, property)) {
      names.push_back(property.name);
    }
  }
  return names;
}

HRESULT WbemObject::Get(LPCWSTR wszName, LONG lFlags, VARIANT* pVal, CIMTYPE* pType, LONG* plFlavor) {
  if (!wszName || lFlags != 0) return kInvalidParameter;
  const qrv::com::WideTextView name(wszName);
  if (const auto system = systemPropertyName(name)) {
    return answer(systemPropertyValue(*this, *system), systemPropertyType(*system), WBEM_FLAVOR_ORIGIN_SYSTEM, pVal,
                  pType, plFlavor);
  }
  const auto index = definition_->indexOf(name);
  if (!index) return static_cast<HRESULT>(WBEM_E_NOT_FOUND);
  const PropertyDefinition& property = definition_->properties[*index];
  const LONG flavor = property.origin == definition_->name ? WBEM_FLAVOR_ORIGIN_LOCAL : WBEM_FLAVOR_ORIGIN_PROPAGATED;
  return answer(values_[*index], property.type, flavor, pVal, pType, plFlavor);
}

HRESULT WbemObject::Put(LPCWSTR wszName, LONG lFlags, VARIANT* pVal, CIMTYPE Type) {
  if (!wszName || lFlags != 0) return kInvalidParameter;
  const qrv::com::WideTextView name(wszName);
  if (systemPropertyName(name)) return static_cast<HRESULT>(WBEM_E_READ_ONLY);
  const auto index = definition_->indexOf(name);
  if (!index) return static_cast<HRESULT>(WBEM_E_NOT_FOUND);
  const CIMTYPE type = definition_->properties[*index].type;
  if (Type != 0 && Type != type) return static_cast<HRESULT>(WBEM_E_TYPE_MISMATCH);
  return convertForProperty(type, pVal ? *pVal : *Variant::null(), values_[*index]);
}

HRESULT WbemObject::GetNames(LPCWSTR wszQualifierName, LONG lFlags, VARIANT*, SAFEARRAY** pNames) {
  if (wszQualifierName || (lFlags & WBEM_MASK_PRIMARY_CONDITION)) return kNotSupported;
  if (!pNames) return kInvalidParameter;
  const auto names = namesFor(lFlags);
  return names ? toSafeArray(*names, pNames) : kInvalidParameter;
}

HRESULT WbemObject::BeginEnumeration(LONG lEnumFlags) {
  auto names = namesFor(lEnumFlags);
  if (!names) return kInvalidParameter;
  enumeration_ = std::move(names);
  enumerated_ = 0;
  return S_OK;
}

HRESULT WbemObject::Next(LONG lFlags, BSTR* strName, VARIANT* pVal, CIMTYPE* pType, LONG* plFlavor) {
  if (lFlags != 0) return kInvalidParameter;
  if (!enumeration_) return static_cast<HRESULT>(WBEM_E_UNEXPECTED);
  if (enumerated_ == enumeration_->size()) return static_cast<HRESULT>(WBEM_S_NO_MORE_DATA);
  const std::string& name = (*enumeration_)[enumerated_++];
  if (strName) *strName = Bstr(toWide(name)).release();
  return Get(toWide(name).c_str(), 0, pVal, pType, plFlavor);
}

HRESULT WbemObject::EndEnumeration() {
  enumeration_.reset();
  return S_OK;
}

HRESULT WbemObject::Clone(IWbemClassObject** ppCopy) {
  if (!ppCopy) return kInvalidParameter;
  *ppCopy = new WbemObject(definition_, genus_, values_);
  return S_OK;
}

HRESULT WbemObject::GetObjectText(LONG lFlags, BSTR* pstrObjectText) {
  if (!pstrObjectText || (lFlags & ~WBEM_FLAG_NO_FLAVORS) != 0) return kInvalidParameter;
  *pstrObjectText = Bstr(toWide(objectText(*this))).release();
  return S_OK;
}

// An instance takes its initial values from the class object, so a default
// put on the class reaches every instance spawned after it. An instance is
// no class to spawn from.
HRESULT WbemObject::SpawnInstance(LONG lFlags, IWbemClassObject** ppNewInstance) {
  if (lFlags != 0 || !ppNewInstance) return kInvalidParameter;
  if (isInstance()) return static_cast<HRESULT>(WBEM_E_INVALID_OPERATION);
  *ppNewInstance = new WbemObject(definition_, WBEM_GENUS_INSTANCE, values_);
  return S_OK;
}

HRESULT WbemObject::GetQualifierSet(IWbemQualifierSet**) { return kNotSupported; }
HRESULT WbemObject::Delete(LPCWSTR) { return kNotSupported; }
HRESULT WbemObject::GetPropertyQualifierSet(LPCWSTR, IWbemQualifierSet**) { return kNotSupported; }
HRESULT WbemObject::SpawnDerivedClass(LONG, IWbemClassObject**) { return kNotSupported; }
HRESULT WbemObject::CompareTo(LONG, IWbemClassObject*) { return kNotSupported; }
HRESULT WbemObject::GetPropertyOrigin(LPCWSTR, BSTR*) { return kNotSupported; }
HRESULT WbemObject::InheritsFrom(LPCWSTR) { return kNotSupported; }
HRESULT WbemObject::GetMethod(LPCWSTR, LONG, IWbemClassObject**, IWbemClassObject**) { return kNotSupported; }
HRESULT WbemObject::PutMethod(LPCWSTR, LONG, IWbemClassObject*, IWbemClassObject*) { return kNotSupported; }
HRESULT WbemObject::DeleteMethod(LPCWSTR) { return kNotSupported; }
HRESULT WbemObject::BeginMethodEnumeration(LONG) { return kNotSupported; }
HRESULT WbemObject::NextMethod(LONG, BSTR*, IWbemClassObject**, IWbemClassObject**) { return kNotSupported; }
HRESULT WbemObject::EndMethodEnumeration() { return kNotSupported; }
HRESULT WbemObject::GetMethodQualifierSet(LPCWSTR, IWbemQualifierSet**) { return kNotSupported; }
HRESULT WbemObject::GetMethodOrigin(LPCWSTR, BSTR*) { return kNotSupported; }

}  // namespace wmihost
