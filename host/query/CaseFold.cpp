#include "host/query/CaseFold.h"

namespace wmihost {

WCHAR foldCase(WCHAR unit) {
  const auto in = [unit](WCHAR first, WCHAR last) { return unit >= first && unit <= last; };
  if (in(u'A', u'Z') || (in(0x00C0, 0x00DE) && unit != 0x00D7) || in(0x0391, 0x03AB) || in(0x0410, 0x042F)) {
    return static_cast<WCHAR>(unit + 0x20);
  }
  if (in(0x0400, 0x040F)) return static_cast<WCHAR>(unit + 0x50);
  return unit;
}

qrv::com::WideText foldCase(qrv::com::WideTextView text) {
  qrv::com::WideText folded(text);
  for (WCHAR& unit : folded) unit = foldCase(unit);
  return folded;
}

}  // namespace wmihost
