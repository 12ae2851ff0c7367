#include "provider/wmi/FillInstance.h"

#include "common/com/TextConversion.h"
#include "common/com/Variant.h"
#include "provider/wmi/ArrayProperties.h"
#include "provider/wmi/CimDateTime.h"
#include "provider/wmi/PropertyType.h"

namespace qrv::cim {

using com::Variant;
using com::assignText;
using com::toWide;

namespace {

// The value to put for an entry of a scalar property of `type`; false for
// the types that are never filled.
bool scalarValue(CIMTYPE type, const std::string& text, VARIANT* value) {
  switch (type) {
    case CIM_DATETIME:
      toCimDateTime(value, text);
      return true;
    case CIM_REFERENCE:
      assignText(value, toWide(text));
      return true;
    case CIM_EMPTY:
    case CIM_OBJECT:
    case CIM_ILLEGAL:
      return false;
    default:
      assignText(value, toWide(text, CP_THREAD_ACP));
      return true;
  }
}

void putScalar(IWbemClassObject* instance, const std::string& property, CIMTYPE type, const std::string& text) {
  Variant value;
  if (scalarValue(type, text, value.get())) {
    instance->Put(toWide(property, CP_THREAD_ACP).c_str(), 0, value.get(), 0);
  }
}

}  // namespace

HRESULT fillInstance(const ParsedInstance& parsed, IWbemClassObject* instance) {
  ArrayValues arrays;
  for (const auto& [name, text] : parsed) {
    const std::string property = name.substr(0, name.find('['));
    CIMTYPE type = CIM_EMPTY;
    if (FAILED(getPropertyType(instance, property, &type))) continue;
    if (type & CIM_FLAG_ARRAY) {
      arrays[property].push_back(text);
    } else {
      putScalar(instance, property, type, text);
    }
  }
  return putArrayProperties(arrays, instance);
}

}  // namespace qrv::cim
