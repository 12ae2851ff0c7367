#pragma once

#include <string>
#include <string_view>

namespace qrv::test {

// UTF-16 little-endian bytes of a text.
inline std::string utf16(std::u16string_view text) {
  std::string bytes;
  for (const char16_t unit : text) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

}  // namespace qrv::test
