#include "provider/wmi/PropertyType.h"

#include "common/com/TextConversion.h"
#include "common/com/Variant.h"

namespace qrv::cim {

using com::Variant;
using com::toWide;

HRESULT getPropertyType(IWbemClassObject* object, const std::string& property, CIMTYPE* type) {
  Variant value;
  return object->Get(toWide(property).c_str(), 0, value.get(), type, nullptr);
}

}  // namespace qrv::cim
