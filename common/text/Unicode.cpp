#include "common/text/Unicode.h"

namespace qrv::unicode {

namespace {

// An ill-formed sequence that ends before index next: U+FFFD.
std::size_t replaced(std::size_t next, char32_t* codePoint, bool* invalid) {
  *invalid = true;
  *codePoint = kReplacement;
  return next;
}

}  // namespace

std::size_t decodeUtf8(const unsigned char* text, std::size_t size, std::size_t i, char32_t* codePoint,
                       bool* invalid) {
  const unsigned char lead = text[i++];
  if (lead < 0x80) {
    *codePoint = lead;
    return i;
  }
  int continuations = 0;
  char32_t value = 0;
  unsigned char low = 0x80, high = 0xBF;  // the allowed range of the next byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    continuations = 1;
    value = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    continuations = 2;
    value = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    continuations = 3;
    value = lead & 0x07;
    if (lead == 0xF0) low = 0x90;   // no overlong forms
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return replaced(i, codePoint, invalid);
  }
  for (int k = 0; k < continuations; ++k) {
    if (i >= size || text[i] < low || text[i] > high) return replaced(i, codePoint, invalid);
    value = (value << 6) | (text[i++] & 0x3F);
    low = 0x80;
    high = 0xBF;
  }
  *codePoint = value;
  return i;
}

std::size_t decodeUtf16(const char16_t* text, std::size_t size, std::size_t i, char32_t* codePoint, bool* invalid) {
  const char32_t unit = text[i++];
  const bool high = unit >= 0xD800 && unit <= 0xDBFF;
  const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
  if (high && i < size && text[i] >= 0xDC00 && text[i] <= 0xDFFF) {
    *codePoint = 0x10000 + ((unit - 0xD800) << 10) + (text[i++] - 0xDC00);
  } else if (high || low) {
    return replaced(i, codePoint, invalid);
  } else {
    *codePoint = unit;
  }
  return i;
}

bool isWellFormedUtf8(std::string_view text) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  bool invalid = false;
  for (std::size_t i = 0; i < text.size() && !invalid;) {
    char32_t codePoint = 0;
    i = decodeUtf8(bytes, text.size(), i, &codePoint, &invalid);
  }
  return !invalid;
}

void appendUtf8(std::string& out, char32_t codePoint) {
  if (codePoint < 0x80) {
    out += static_cast<char>(codePoint);
  } else if (codePoint < 0x800) {
    out += static_cast<char>(0xC0 | (codePoint >> 6));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else if (codePoint < 0x10000) {
    out += static_cast<char>(0xE0 | (codePoint >> 12));
    out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (codePoint >> 18));
    out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
  }
}

void appendUtf16(std::u16string& out, char32_t codePoint) {
  if (codePoint < 0x10000) {
    out += static_cast<char16_t>(codePoint);
  } else {
    codePoint -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (codePoint >> 10));
    out += static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
  }
}

}  // namespace qrv::unicode
