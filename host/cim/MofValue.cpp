#include "host/cim/MofValue.h"

#include <charconv>
#include <cstdio>
#include <vector>

#include "common/com/Bstr.h"
#include "common/com/ComPtr.h"
#include "common/com/TextConversion.h"
#include "common/com/Variant.h"
#include "host/cim/SafeArrayElements.h"

namespace wmihost {

using qrv::com::ComPtr;
using qrv::com::Bstr;
using qrv::com::Variant;
using qrv::com::toUtf8;

namespace {

// Control characters are those of Unicode's category Cc: C0, DEL and C1.
bool isControl(WCHAR c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

bool needsEscape(WCHAR c) { return c == '"' || c == '\\' || isControl(c); }

std::string escapeOf(WCHAR c) {
  switch (c) {
    case '"':
      return "\\\"";
    case '\\':
      return "\\\\";
    case '\b':
      return "\\b";
    case '\t':
      return "\\t";
    case '\n':
      return "\\n";
    case '\f':
      return "\\f";
    case '\r':
      return "\\r";
    default: {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%04x", static_cast<unsigned>(c));
      return escape;
    }
  }
}

// A MOF string literal: quotes, backslashes and control characters escaped,
// so that a value can neither end its string nor its line early.
std::string quoted(BSTR text) {
  const qrv::com::WideTextView view(text, SysStringLen(text));
  std::string result = "\"";
  std::size_t plain = 0;  // where the characters not yet written start
  for (std::size_t i = 0; i < view.size(); ++i) {
    if (!needsEscape(view[i])) continue;
    result += toUtf8(view.substr(plain, i - plain)) + escapeOf(view[i]);
    plain = i + 1;
  }
  return result + toUtf8(view.substr(plain)) + "\"";
}

// The shortest decimal text that reads back as the same value.
template <typename Real>
std::string realText(Real value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

// The object text without the blank line before it and the ";" after it.
std::string embeddedText(IUnknown* unknown) {
  ComPtr<IWbemClassObject> object;
  Bstr text;
  if (!unknown || FAILED(unknown->QueryInterface(IID_IWbemClassObject, reinterpret_cast<void**>(object.put()))) ||
      FAILED(object->GetObjectText(0, text.put()))) {
    return "NULL";
  }
  std::string mof = toUtf8(text.view());
  if (mof.rfind('\n', 0) == 0) mof.erase(0, 1);
  if (mof.size() >= 2 && mof.compare(mof.size() - 2, 2, ";\n") == 0) mof.resize(mof.size() - 2);
  return mof;
}

std::string arrayText(CIMTYPE elementType, const VARIANT& value) {
  std::string text = "{";
  const std::vector<Variant> elements = arrayElements(value);
  for (std::size_t i = 0; i < elements.size(); ++i) {
    text += (i ? ", " : "") + mofValueText(elementType, *elements[i]);
  }
  return text + "}";
}

}  // namespace

std::string mofValueText(CIMTYPE type, const VARIANT& value) {
  if ((value.vt & VT_ARRAY) && value.parray) return arrayText(type & ~CIM_FLAG_ARRAY, value);
  switch (value.vt) {
    case VT_BSTR:
      return quoted(value.bstrVal);
    case VT_UI1:
      return std::to_string(value.bVal);
    case VT_I2:
      return type == CIM_CHAR16 ? std::to_string(static_cast<USHORT>(value.iVal)) : std::to_string(value.iVal);
    case VT_I4:
      return type == CIM_UINT32 ? std::to_string(static_cast<ULONG>(value.lVal)) : std::to_string(value.lVal);
    case VT_R4:
      return realText(value.fltVal);
    case VT_R8:
      return realText(value.dblVal);
    case VT_BOOL:
      return value.boolVal ? "TRUE" : "FALSE";
    case VT_UNKNOWN:
      return embeddedText(value.punkVal);
    default:
      return "NULL";
  }
}

}  // namespace wmihost
