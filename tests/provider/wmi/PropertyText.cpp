#include "tests/provider/wmi/PropertyText.h"

#include "common/com/TextConversion.h"
#include "common/com/Variant.h"

namespace qrv::test {

namespace {

std::string scalarText(VARTYPE type, const void* value) {
  switch (type) {
    case VT_BSTR:
      return com::toUtf8(*static_cast<const BSTR*>(value));
    case VT_I4:
      return std::to_string(*static_cast<const LONG*>(value));
    case VT_I2:
      return std::to_string(*static_cast<const SHORT*>(value));
    case VT_UI1:
      return std::to_string(*static_cast<const BYTE*>(value));
    case VT_R8:
      return std::to_string(*static_cast<const DOUBLE*>(value));
    case VT_BOOL:
      return *static_cast<const VARIANT_BOOL*>(value) ? "TRUE" : "FALSE";
    default:
      return "<type " + std::to_string(type) + ">";
  }
}

std::string arrayText(VARTYPE elementType, SAFEARRAY* array) {
  LONG lower = 0;
  LONG upper = -1;
  SafeArrayGetLBound(array, 1, &lower);
  SafeArrayGetUBound(array, 1, &upper);
  void* data = nullptr;
  SafeArrayAccessData(array, &data);
  std::string text = "{";
  for (LONG i = 0; i <= upper - lower; ++i) {
    if (i > 0) text += ",";
    text += scalarText(elementType, static_cast<const char*>(data) + i * SafeArrayGetElemsize(array));
  }
  SafeArrayUnaccessData(array);
  return text + "}";
}

}  // namespace

std::string propertyText(IWbemClassObject* object, const std::string& name) {
  com::Variant value;
  if (FAILED(object->Get(com::toWide(name).c_str(), 0, value.get(), nullptr, nullptr))) return "<no such property>";
  const VARIANT& v = *value.get();
  if (v.vt == VT_NULL || v.vt == VT_EMPTY) return "<null>";
  if (v.vt & VT_ARRAY) return arrayText(static_cast<VARTYPE>(v.vt & ~VT_ARRAY), v.parray);
  return scalarText(v.vt, &v.llVal);
}

}  // namespace qrv::test
