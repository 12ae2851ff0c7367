#pragma once

#include <string>
#include <string_view>

namespace qrv::cim {

// Converts UTF-16 little-endian bytes to UTF-8 with the platform's
// converter. An odd last byte is ignored; an unpaired surrogate becomes U+FFFD.
std::string utf16LeToUtf8(std::string_view bytes);

}  // namespace qrv::cim
