#include "collector/XmlText.h"

#include <cstddef>

#include "common/text/Unicode.h"

namespace collector {

namespace {

bool isXmlCharacter(char32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
         (c >= 0x10000 && c <= 0x10FFFF);
}

void appendEscaped(std::string& out, char32_t c) {
  switch (c) {
    case '&': out += "&amp;"; break;
    case '<': out += "&lt;"; break;
    case '>': out += "&gt;"; break;
    case '"': out += "&quot;"; break;
    case '\t': out += "&#9;"; break;
    case '\n': out += "&#10;"; break;
    case '\r': out += "&#13;"; break;
    default: qrv::unicode::appendUtf8(out, isXmlCharacter(c) ? c : qrv::unicode::kReplacement);
  }
}

}  // namespace

std::string xmlAttributeText(std::string_view utf8) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(utf8.data());
  std::string out;
  out.reserve(utf8.size());
  bool invalid = false;
  for (std::size_t i = 0; i < utf8.size();) {
    char32_t codePoint = 0;
    i = qrv::unicode::decodeUtf8(bytes, utf8.size(), i, &codePoint, &invalid);
    appendEscaped(out, codePoint);
  }
  return out;
}

}  // namespace collector
