#pragma once
// UTF-8 and UTF-16 code points, one at a time: decoding with U+FFFD for an
// ill-formed sequence, and encoding.

#include <cstddef>
#include <string>
#include <string_view>

namespace qrv::unicode {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes the UTF-8 sequence at text[i] into codePoint and returns the index
// after it. An ill-formed sequence (overlong, surrogate, above U+10FFFF, cut
// short) decodes to U+FFFD, sets invalid and consumes its longest
// well-formed prefix, at least one byte, as Unicode recommends.
std::size_t decodeUtf8(const unsigned char* text, std::size_t size, std::size_t i, char32_t* codePoint,
                       bool* invalid);

// Decodes the UTF-16 unit or surrogate pair at text[i] into codePoint and
// returns the index after it; an unpaired surrogate decodes to U+FFFD and
// sets invalid.
std::size_t decodeUtf16(const char16_t* text, std::size_t size, std::size_t i, char32_t* codePoint, bool* invalid);

// Whether the text is well-formed UTF-8 throughout.
bool isWellFormedUtf8(std::string_view text);

void appendUtf8(std::string& out, char32_t codePoint);
void appendUtf16(std::u16string& out, char32_t codePoint);

}  // namespace qrv::unicode
