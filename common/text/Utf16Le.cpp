#include "common/text/Utf16Le.h"

#include <cstddef>

#include "common/text/Unicode.h"

namespace qrv::text {

std::u16string utf16LeUnits(std::string_view bytes) {
  std::u16string units(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i) {
    units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                     (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
  }
  return units;
}

std::string utf8FromUtf16(std::u16string_view units) {
  std::string out;
  bool invalid = false;
  for (std::size_t i = 0; i < units.size();) {
    char32_t codePoint = 0;
    i = unicode::decodeUtf16(units.data(), units.size(), i, &codePoint, &invalid);
    unicode::appendUtf8(out, codePoint);
  }
  return out;
}

std::string decodeUtf16Le(std::string_view bytes) { return utf8FromUtf16(utf16LeUnits(bytes)); }

std::u16string utf16FromUtf8(std::string_view text) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  std::u16string units;
  bool invalid = false;
  for (std::size_t i = 0; i < text.size();) {
    char32_t codePoint = 0;
    i = unicode::decodeUtf8(bytes, text.size(), i, &codePoint, &invalid);
    unicode::appendUtf16(units, codePoint);
  }
  return units;
}

std::string encodeUtf16Le(std::string_view text) {
  const std::u16string units = utf16FromUtf8(text);
  std::string out;
  out.reserve(units.size() * 2);
  for (const char16_t unit : units) {
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>(unit >> 8);
  }
  return out;
}

}  // namespace qrv::text
