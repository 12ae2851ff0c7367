#include "provider/request/text/EscapeXml.h"

#include <utility>

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

constexpr std::string_view kEscaped = "&'\"><";

// The character whose reference starts `text` and the reference's length;
// a length of 0 when none does.
std::pair<char, std::size_t> referenceAt(std::string_view text) {
  for (const char c : kEscaped) {
    const std::string_view entity = entityFor(c);
    if (text.substr(0, entity.size()) == entity) return {c, entity.size()};
  }
  return {'\0', 0};
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

std::string unescapeXml(std::string_view escaped) {
  std::string text;
  text.reserve(escaped.size());
  for (std::size_t i = 0; i < escaped.size();) {
    const auto [c, length] = referenceAt(escaped.substr(i));
    text += length ? c : escaped[i];
    i += length ? length : 1;
  }
  return text;
}

}  // namespace qrv::cim
