#pragma once
// The CIM types of the MOF subset: their MOF names and the VARIANT type in
// which an instance stores each of them, set or unset.

#include <optional>
#include <string>
#include <string_view>

#include "common/com/WmiSdk.h"

namespace wmihost {

// The CIM type of a MOF type keyword (any case); none for an unknown word.
// References are written "Class ref" and have no keyword of their own.
std::optional<CIMTYPE> cimTypeOfKeyword(std::string_view keyword);

// The MOF spelling of a scalar CIM type, "Class ref" for a reference.
std::string mofTypeName(CIMTYPE scalarType, std::string_view referencedClass);

// The VARIANT type that holds a value of a scalar CIM type, as WMI stores
// it: VT_UI1 for uint8, VT_I2 for sint8, sint16 and char16, VT_I4 for
// uint16, sint32 and uint32, VT_BSTR for the 64-bit integers and for text.
VARTYPE storedVarType(CIMTYPE scalarType);

// Whether a stored value is unset: VT_NULL, VT_EMPTY, or an array without
// its SAFEARRAY.
inline bool isUnset(const VARIANT& value) {
  return value.vt == VT_NULL || value.vt == VT_EMPTY || ((value.vt & VT_ARRAY) && !value.parray);
}

// The UTF-8 text of a value stored as VT_BSTR: text, a 64-bit integer, a
// date-time or a reference, embedded NULs kept.
std::string storedText(const VARIANT& value);

constexpr CIMTYPE scalarOf(CIMTYPE type) { return type & ~CIM_FLAG_ARRAY; }
constexpr bool isArray(CIMTYPE type) { return (type & CIM_FLAG_ARRAY) != 0; }

}  // namespace wmihost
