#include "provider/wmi/DiagnosticText.h"

#include <cstdio>

#include "common/com/TextConversion.h"
#include "common/com/Variant.h"

namespace qrv::cim {

namespace {

std::string hex(unsigned long value, const char* format) {
  char text[16];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

const char* scalarTypeName(CIMTYPE type) {
  switch (type) {
    case CIM_SINT8: return "sint8";
    case CIM_UINT8: return "uint8";
    case CIM_SINT16: return "sint16";
    case CIM_UINT16: return "uint16";
    case CIM_SINT32: return "sint32";
    case CIM_UINT32: return "uint32";
    case CIM_SINT64: return "sint64";
    case CIM_UINT64: return "uint64";
    case CIM_REAL32: return "real32";
    case CIM_REAL64: return "real64";
    case CIM_BOOLEAN: return "boolean";
    case CIM_STRING: return "string";
    case CIM_DATETIME: return "datetime";
    case CIM_REFERENCE: return "reference";
    case CIM_CHAR16: return "char16";
    case CIM_OBJECT: return "object";
    default: return nullptr;
  }
}

}  // namespace

std::string hresultHex(HRESULT hr) { return hex(static_cast<unsigned long>(static_cast<DWORD>(hr)), "0x%08lX"); }

std::string cimTypeName(CIMTYPE type) {
  const char* name = scalarTypeName(type & ~CIM_FLAG_ARRAY);
  if (!name) return hex(static_cast<unsigned long>(type), "type 0x%lX");
  return std::string(name) + ((type & CIM_FLAG_ARRAY) ? "[]" : "");
}

std::string requestStatusText(RequestStatus status) {
  switch (status) {
    case Ok: return "done";
    case MissingKey: return "a required key is missing";
    case NotAccessible: return "the registration, a data file or the stylesheet could not be read";
    case TransformFailed: return "the stylesheet failed";
    case StylesheetFailed: return "the stylesheet does not compile";
    case NotSupported: return "the registration does not offer the operation";
  }
  return "status " + std::to_string(static_cast<int>(status));
}

std::string classNameOf(IWbemClassObject* object) {
  com::Variant value;
  if (FAILED(object->Get(com::toWide("__CLASS").c_str(), 0, value.get(), nullptr, nullptr)) || value.get()->vt != VT_BSTR) return "";
  return com::toUtf8(value.get()->bstrVal);
}

}  // namespace qrv::cim
