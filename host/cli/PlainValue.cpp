#include "host/cli/PlainValue.h"

#include "common/com/TextConversion.h"
#include "host/cim/CimTypes.h"
#include "host/cim/MofValue.h"
#include "host/cim/SafeArrayElements.h"

namespace wmihost {

namespace {

// An embedded object's MOF text with its line breaks and tabs as blanks:
// "instance of Geometry { Sectors = 512; }".
std::string flattened(std::string text) {
  std::string line;
  for (const char c : text) {
    const bool blank = c == '\n' || c == '\t';
    if (!blank) {
      line += c;
    } else if (!line.empty() && line.back() != ' ') {
      line += ' ';
    }
  }
  return line;
}

std::string plainScalar(CIMTYPE type, const VARIANT& value) {
  if (value.vt == VT_BSTR) return storedText(value);
  if (type == CIM_CHAR16) return qrv::com::toUtf8(qrv::com::WideText(1, static_cast<WCHAR>(value.iVal)));
  const std::string text = mofValueText(type, value);
  return value.vt == VT_UNKNOWN ? flattened(text) : text;
}

}  // namespace

std::optional<std::string> plainValue(CIMTYPE type, const VARIANT& value, std::string_view separator) {
  if (isUnset(value)) return std::nullopt;
  if (!(value.vt & VT_ARRAY)) return plainScalar(scalarOf(type), value);
  std::string text = "{";
  const auto elements = arrayElements(value);
  for (std::size_t i = 0; i < elements.size(); ++i) {
    text += (i ? std::string(separator) : "") + plainScalar(scalarOf(type), *elements[i]);
  }
  return text + "}";
}

}  // namespace wmihost
