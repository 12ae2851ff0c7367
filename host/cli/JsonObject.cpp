#include "host/cli/JsonObject.h"

#include <cmath>
#include <cstdio>

#include "common/com/ComPtr.h"
#include "common/com/TextConversion.h"
#include "host/cim/CimTypes.h"
#include "host/cim/MofValue.h"
#include "host/cim/SafeArrayElements.h"
#include "host/cim/WbemObject.h"
#include "host/cli/ShownValue.h"

namespace wmihost {

using qrv::com::ComPtr;
using qrv::com::toUtf8;

namespace {

std::string embeddedJson(IUnknown* unknown) {
  ComPtr<IWbemClassObject> object;
  if (!unknown || FAILED(unknown->QueryInterface(IID_IWbemClassObject, reinterpret_cast<void**>(object.put())))) {
    return "null";
  }
  const WbemObject* embedded = WbemObject::from(object.get());
  return embedded ? jsonObject(*embedded) : "null";
}

// JSON has no infinities and no NaN.
std::string realJson(double value, CIMTYPE type, const VARIANT& stored) {
  return std::isfinite(value) ? mofValueText(type, stored) : "null";
}

// A set value of a scalar type, in the stored form of that type.
std::string scalarJson(CIMTYPE type, const VARIANT& value) {
  switch (type) {
    case CIM_BOOLEAN:
      return value.boolVal ? "true" : "false";
    case CIM_STRING:
    case CIM_DATETIME:
    case CIM_REFERENCE:
      return jsonString(storedText(value));
    case CIM_CHAR16:
      return jsonString(toUtf8(qrv::com::WideText(1, static_cast<WCHAR>(value.iVal))));
    case CIM_SINT64:
    case CIM_UINT64:
      return storedText(value);
    case CIM_REAL32:
      return realJson(value.fltVal, type, value);
    case CIM_REAL64:
      return realJson(value.dblVal, type, value);
    case CIM_OBJECT:
      return embeddedJson(value.punkVal);
    default:
      return mofValueText(type, value);
  }
}

std::string arrayJson(CIMTYPE elementType, const VARIANT& value) {
  std::string text = "[";
  const auto elements = arrayElements(value);
  for (std::size_t i = 0; i < elements.size(); ++i) text += (i ? ", " : "") + scalarJson(elementType, *elements[i]);
  return text + "]";
}

std::string valueJson(CIMTYPE type, const VARIANT& value) {
  if (isArray(type)) return (value.vt & VT_ARRAY) && value.parray ? arrayJson(scalarOf(type), value) : "null";
  return value.vt == VT_NULL || value.vt == VT_EMPTY ? "null" : scalarJson(type, value);
}

}  // namespace

std::string jsonObject(const WbemObject& object, const std::vector<std::string_view>& systemProperties) {
  std::string members;
  for (const ShownValue& shown : shownValues(object, systemProperties)) {
    members += (members.empty() ? "" : ", ") + jsonString(shown.name) + ": " + valueJson(shown.type, *shown.value);
  }
  return "{" + members + "}";
}

std::string jsonString(std::string_view utf8) {
  std::string text = "\"";
  for (const char c : utf8) {
    switch (c) {
      case '"':
        text += "\\\"";
        break;
      case '\\':
        text += "\\\\";
        break;
      case '\b':
        text += "\\b";
        break;
      case '\f':
        text += "\\f";
        break;
      case '\n':
        text += "\\n";
        break;
      case '\r':
        text += "\\r";
        break;
      case '\t':
        text += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
          text += escaped;
        } else {
          text += c;
        }
    }
  }
  return text + "\"";
}

}  // namespace wmihost
