#include "provider/request/text/EscapeXml.h"

namespace qrv::cim {

namespace {

const char* entityFor(char c) {
  switch (c) {
    case '&': return "&amp;";
    case '\'': return "&apos;";
    case '"': return "&quot;";
    case '>': return "&gt;";
    case '<': return "&lt;";
    default: return nullptr;
  }
}

}  // namespace

std::string escapeXml(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (const char c : text) {
    if (const char* entity = entityFor(c)) {
      escaped += entity;
    } else {
      escaped += c;
    }
  }
  return escaped;
}

}  // namespace qrv::cim
