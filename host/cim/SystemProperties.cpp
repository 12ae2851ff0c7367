#include "host/cim/SystemProperties.h"

#include "common/text/AsciiCase.h"

namespace wmihost {

using qrv::text::equalsIgnoringAsciiCase;

std::optional<std::string_view> systemPropertyName(qrv::com::WideTextView name) {
  // Every system property's name starts with "__": most names are ruled out at once.
  if (name.size() < 2 || name[0] != u'_' || name[1] != u'_') return std::nullopt;
  for (std::string_view known : kSystemProperties) {
    if (equalsIgnoringAsciiCase(name, known)) return known;
  }
  return std::nullopt;
}

CIMTYPE systemPropertyType(std::string_view canonicalName) {
  return canonicalName == "__GENUS" ? CIM_SINT32 : CIM_STRING;
}

}  // namespace wmihost
