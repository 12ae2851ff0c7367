#pragma once
// UTF-16 little-endian byte strings, as the registry and Unicode data files
// store text.

#include <string>
#include <string_view>

namespace qrv::text {

// The code units of UTF-16LE bytes; an odd last byte is ignored.
std::u16string utf16LeUnits(std::string_view bytes);

// UTF-16 code units decoded to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string utf8FromUtf16(std::u16string_view units);

// UTF-16LE bytes decoded to UTF-8; an unpaired surrogate becomes U+FFFD and
// an odd last byte is ignored.
std::string decodeUtf16Le(std::string_view bytes);

// UTF-8 text as UTF-16 code units; each ill-formed sequence (its longest
// well-formed prefix, at least one byte) becomes U+FFFD.
std::u16string utf16FromUtf8(std::string_view text);

// UTF-8 text encoded as UTF-16LE bytes; each ill-formed sequence (its longest
// well-formed prefix, at least one byte) becomes U+FFFD.
std::string encodeUtf16Le(std::string_view text);

}  // namespace qrv::text
