#include "host/cim/CimTypes.h"

#include <array>

#include "common/com/TextConversion.h"
#include "common/text/AsciiCase.h"

namespace wmihost {

using qrv::text::equalsIgnoringAsciiCase;

namespace {

struct TypeEntry {
  std::string_view keyword;
  CIMTYPE type;
  VARTYPE stored;
};

constexpr std::array<TypeEntry, 15> kTypes{{
    {"string", CIM_STRING, VT_BSTR},
    {"char16", CIM_CHAR16, VT_I2},
    {"boolean", CIM_BOOLEAN, VT_BOOL},
    {"sint8", CIM_SINT8, VT_I2},
    {"uint8", CIM_UINT8, VT_UI1},
    {"sint16", CIM_SINT16, VT_I2},
    {"uint16", CIM_UINT16, VT_I4},
    {"sint32", CIM_SINT32, VT_I4},
    {"uint32", CIM_UINT32, VT_I4},
    {"sint64", CIM_SINT64, VT_BSTR},
    {"uint64", CIM_UINT64, VT_BSTR},
    {"real32", CIM_REAL32, VT_R4},
    {"real64", CIM_REAL64, VT_R8},
    {"datetime", CIM_DATETIME, VT_BSTR},
    {"object", CIM_OBJECT, VT_UNKNOWN},
}};

const TypeEntry* entryOf(CIMTYPE type) {
  for (const TypeEntry& entry : kTypes) {
    if (entry.type == type) return &entry;
  }
  return nullptr;
}

}  // namespace

std::optional<CIMTYPE> cimTypeOfKeyword(std::string_view keyword) {
  for (const TypeEntry& entry : kTypes) {
    if (equalsIgnoringAsciiCase(entry.keyword, keyword)) return entry.type;
  }
  return std::nullopt;
}

std::string mofTypeName(CIMTYPE scalarType, std::string_view referencedClass) {
  if (scalarType == CIM_REFERENCE) return std::string(referencedClass) + " ref";
  const TypeEntry* entry = entryOf(scalarType);
  return entry ? std::string(entry->keyword) : std::string();
}

VARTYPE storedVarType(CIMTYPE scalarType) {
  if (scalarType == CIM_REFERENCE) return VT_BSTR;
  const TypeEntry* entry = entryOf(scalarType);
  return entry ? entry->stored : static_cast<VARTYPE>(VT_EMPTY);
}

std::string storedText(const VARIANT& value) {
  return qrv::com::toUtf8(qrv::com::WideTextView(value.bstrVal, SysStringLen(value.bstrVal)));
}

}  // namespace wmihost
