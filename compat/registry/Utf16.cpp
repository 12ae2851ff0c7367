#include "compat/registry/Utf16.h"

#include <cstddef>

#include "common/text/Unicode.h"

namespace qrv::regfile {

std::string utf16leToUtf8(const std::vector<char>& bytes) {
  std::u16string units;
  units.reserve(bytes.size() / 2);
  for (std::size_t k = 0; k + 1 < bytes.size(); k += 2) {
    units += static_cast<char16_t>(static_cast<unsigned char>(bytes[k]) |
                                   (static_cast<unsigned char>(bytes[k + 1]) << 8));
  }
  std::string out;
  bool invalid = false;
  for (std::size_t i = 0; i < units.size();) {
    char32_t codePoint = 0;
    i = unicode::decodeUtf16(units.data(), units.size(), i, &codePoint, &invalid);
    unicode::appendUtf8(out, codePoint);
  }
  return out;
}

std::vector<char> utf8ToUtf16le(const std::string& text) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  std::u16string units;
  bool invalid = false;
  for (std::size_t i = 0; i < text.size();) {
    char32_t codePoint = 0;
    i = unicode::decodeUtf8(bytes, text.size(), i, &codePoint, &invalid);
    unicode::appendUtf16(units, codePoint);
  }
  std::vector<char> out;
  out.reserve(units.size() * 2);
  for (const char16_t unit : units) {
    out.push_back(static_cast<char>(unit & 0xFF));
    out.push_back(static_cast<char>(unit >> 8));
  }
  return out;
}

}  // namespace qrv::regfile
