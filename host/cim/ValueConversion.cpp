#include "host/cim/ValueConversion.h"

#include <cfloat>
#include <cmath>
#include <string>

#include "common/com/Bstr.h"
#include "common/com/TextConversion.h"
#include "host/cim/CimDateTimeSyntax.h"
#include "host/cim/CimText.h"
#include "host/cim/CimTypes.h"

namespace wmihost {

using qrv::com::Bstr;
using qrv::com::Variant;
using qrv::com::toWide;

namespace {

constexpr HRESULT kTypeMismatch = static_cast<HRESULT>(WBEM_E_TYPE_MISMATCH);

struct IntegerRange {
  std::uint64_t largestNegative;  // magnitude of the smallest value
  std::uint64_t largestPositive;
};

// The range of an integer type; none for the other types.
std::optional<IntegerRange> integerRange(CIMTYPE type) {
  switch (type) {
    case CIM_SINT8:
      return IntegerRange{128, 127};
    case CIM_UINT8:
      return IntegerRange{0, 255};
    case CIM_SINT16:
      return IntegerRange{32768, 32767};
    case CIM_UINT16:
    case CIM_CHAR16:
      return IntegerRange{0, 65535};
    case CIM_SINT32:
      return IntegerRange{2147483648u, 2147483647};
    case CIM_UINT32:
      return IntegerRange{0, 4294967295u};
    case CIM_SINT64:
      return IntegerRange{9223372036854775808u, 9223372036854775807};
    case CIM_UINT64:
      return IntegerRange{0, 18446744073709551615u};
    default:
      return std::nullopt;
  }
}

WholeNumber signedNumber(std::int64_t value) {
  return value < 0 ? WholeNumber{true, 0 - static_cast<std::uint64_t>(value)}
                   : WholeNumber{false, static_cast<std::uint64_t>(value)};
}

// The number a value of the stored form holds: VT_I2 and VT_I4 carry char16
// and uint32 as their bit patterns.
std::optional<WholeNumber> storedNumber(CIMTYPE type, const VARIANT& value) {
  switch (value.vt) {
    case VT_BSTR:
      return parseWholeNumber(storedText(value));
    case VT_UI1:
      return WholeNumber{false, value.bVal};
    case VT_I2:
      return type == CIM_CHAR16 ? WholeNumber{false, static_cast<USHORT>(value.iVal)} : signedNumber(value.iVal);
    case VT_I4:
      return type == CIM_UINT32 ? WholeNumber{false, static_cast<ULONG>(value.lVal)} : signedNumber(value.lVal);
    default:
      return std::nullopt;
  }
}

bool inRange(const IntegerRange& range, const WholeNumber& number) {
  return number.magnitude <= (number.negative ? range.largestNegative : range.largestPositive);
}

void storeInteger(CIMTYPE type, const WholeNumber& number, VARIANT& out) {
  const std::int64_t value = static_cast<std::int64_t>(number.negative ? 0 - number.magnitude : number.magnitude);
  out.vt = storedVarType(type);
  switch (out.vt) {
    case VT_UI1:
      out.bVal = static_cast<BYTE>(value);
      break;
    case VT_I2:
      out.iVal = static_cast<SHORT>(value);
      break;
    case VT_I4:
      out.lVal = static_cast<LONG>(value);
      break;
    default: {
      const bool negative = number.negative && number.magnitude != 0;
      out.bstrVal = Bstr(toWide((negative ? "-" : "") + std::to_string(number.magnitude))).release();
    }
  }
}

HRESULT convertInteger(CIMTYPE type, const IntegerRange& range, const VARIANT& value, VARIANT& out) {
  if (value.vt != VT_BSTR && value.vt != storedVarType(type)) return kTypeMismatch;
  const auto number = storedNumber(type, value);
  if (!number || !inRange(range, *number)) return kTypeMismatch;
  storeInteger(type, *number, out);
  return S_OK;
}

HRESULT convertReal(CIMTYPE type, const VARIANT& value, VARIANT& out) {
  const VARTYPE stored = storedVarType(type);
  if (value.vt == stored) {
    out = value;
    return S_OK;
  }
  if (value.vt != VT_BSTR) return kTypeMismatch;
  const auto real = parseReal(storedText(value));
  if (!real || (type == CIM_REAL32 && std::fabs(*real) > FLT_MAX)) return kTypeMismatch;
  out.vt = stored;
  if (type == CIM_REAL32) {
    out.fltVal = static_cast<FLOAT>(*real);
  } else {
    out.dblVal = *real;
  }
  return S_OK;
}

HRESULT convertBoolean(const VARIANT& value, VARIANT& out) {
  std::optional<bool> truth;
  if (value.vt == VT_BOOL) truth = value.boolVal != VARIANT_FALSE;
  if (value.vt == VT_BSTR) truth = parseBoolean(storedText(value));
  if (!truth) return kTypeMismatch;
  out.vt = VT_BOOL;
  out.boolVal = *truth ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

// The SDK declares VariantCopy's source without const; it is only read.
HRESULT copyOf(const VARIANT& value, VARIANT& out) { return VariantCopy(&out, const_cast<VARIANT*>(&value)); }

HRESULT convertText(CIMTYPE type, const VARIANT& value, VARIANT& out) {
  if (value.vt != VT_BSTR || (type == CIM_DATETIME && !isCimDateTime(storedText(value)))) return kTypeMismatch;
  return copyOf(value, out);
}

HRESULT convertObject(const VARIANT& value, VARIANT& out) {
  return value.vt == VT_UNKNOWN ? copyOf(value, out) : kTypeMismatch;
}

// out starts empty.
HRESULT convertScalar(CIMTYPE type, const VARIANT& value, VARIANT& out) {
  if (const auto range = integerRange(type)) return convertInteger(type, *range, value, out);
  switch (type) {
    case CIM_REAL32:
    case CIM_REAL64:
      return convertReal(type, value, out);
    case CIM_BOOLEAN:
      return convertBoolean(value, out);
    case CIM_OBJECT:
      return convertObject(value, out);
    default:
      return convertText(type, value, out);
  }
}

// Where SafeArrayPutElement reads an element of value from; it only reads.
void* elementData(const VARIANT& value) {
  if (value.vt == VT_BSTR) return value.bstrVal;
  if (value.vt == VT_UNKNOWN) return value.punkVal;
  return const_cast<LONGLONG*>(&value.llVal);
}

HRESULT convertElement(CIMTYPE type, VARTYPE elementType, SAFEARRAY* source, LONG index, SAFEARRAY* target,
                       LONG targetIndex) {
  Variant element;
  VARIANT* raw = element.put();
  HRESULT hr = SafeArrayGetElement(source, &index, &raw->llVal);
  if (FAILED(hr)) return hr;
  raw->vt = elementType;
  Variant converted;
  hr = convertScalar(type, *element, *converted.put());
  if (FAILED(hr)) return hr;
  return SafeArrayPutElement(target, &targetIndex, elementData(*converted));
}

HRESULT convertArray(CIMTYPE type, const VARIANT& value, Variant& out) {
  const VARTYPE stored = storedVarType(type);
  const VARTYPE elements = static_cast<VARTYPE>(value.vt & VT_TYPEMASK);
  if (!(value.vt & VT_ARRAY) || (elements != VT_BSTR && elements != stored) || !value.parray ||
      SafeArrayGetDim(value.parray) != 1) {
    return kTypeMismatch;
  }
  const SAFEARRAYBOUND bound = value.parray->rgsabound[0];
  Variant converted;
  VARIANT* array = converted.put();
  array->parray = SafeArrayCreateVector(stored, 0, bound.cElements);
  if (!array->parray) return static_cast<HRESULT>(WBEM_E_OUT_OF_MEMORY);
  array->vt = static_cast<VARTYPE>(VT_ARRAY | stored);
  for (ULONG i = 0; i < bound.cElements; ++i) {
    const LONG index = static_cast<LONG>(i);
    const HRESULT hr = convertElement(type, elements, value.parray, bound.lLbound + index, array->parray, index);
    if (FAILED(hr)) return hr;
  }
  out = std::move(converted);
  return S_OK;
}

}  // namespace

HRESULT convertForProperty(CIMTYPE type, const VARIANT& value, Variant& out) {
  if (value.vt == VT_NULL || value.vt == VT_EMPTY) {
    out = Variant::null();
    return S_OK;
  }
  if (isArray(type)) return convertArray(scalarOf(type), value, out);
  Variant converted;
  const HRESULT hr = convertScalar(type, value, *converted.put());
  if (FAILED(hr)) return hr;
  out = std::move(converted);
  return S_OK;
}

}  // namespace wmihost
