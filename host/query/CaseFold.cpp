#include "host/query/CaseFold.h"

namespace wmihost {

char16_t foldCase(char16_t unit) {
  const auto in = [unit](char16_t first, char16_t last) { return unit >= first && unit <= last; };
  if (in(u'A', u'Z') || (in(0x00C0, 0x00DE) && unit != 0x00D7) || in(0x0391, 0x03AB) || in(0x0410, 0x042F)) {
    return static_cast<char16_t>(unit + 0x20);
  }
  if (in(0x0400, 0x040F)) return static_cast<char16_t>(unit + 0x50);
  return unit;
}

std::u16string foldCase(std::u16string_view text) {
  std::u16string folded(text);
  for (char16_t& unit : folded) unit = foldCase(unit);
  return folded;
}

}  // namespace wmihost
