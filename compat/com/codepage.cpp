#include "compat/com/codepage.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <type_traits>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

int fail(DWORD error) {
  SetLastError(error);
  return 0;
}

// An ill-formed sequence that ends before index next: U+FFFD.
size_t replaced(size_t next, char32_t* codePoint, bool* invalid) {
  *invalid = true;
  *codePoint = kReplacement;
  return next;
}

// Decodes the UTF-8 sequence at text[i] into codePoint and returns the index
// after it. An ill-formed sequence decodes to U+FFFD and consumes its longest
// well-formed prefix, at least one byte, as Unicode recommends.
size_t decodeUtf8(const unsigned char* text, size_t size, size_t i, char32_t* codePoint, bool* invalid) {
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

// Decodes the UTF-16 unit or surrogate pair at text[i] into codePoint and
// returns the index after it; an unpaired surrogate decodes to U+FFFD.
size_t decodeUtf16(const WCHAR* text, size_t size, size_t i, char32_t* codePoint, bool* invalid) {
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

void appendUtf16(std::u16string& out, char32_t codePoint) {
  if (codePoint < 0x10000) {
    out += static_cast<char16_t>(codePoint);
  } else {
    codePoint -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (codePoint >> 10));
    out += static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
  }
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

// Hands the converted text, size units from converted, to the caller: its
// size when capacity is 0, else the text itself when it fits.
template <typename In, typename Out>
int deliver(const In* converted, size_t size, Out* out, int capacity) {
  if (size > static_cast<size_t>(INT_MAX)) return fail(ERROR_INVALID_PARAMETER);
  if (capacity == 0) return static_cast<int>(size);
  if (size > static_cast<size_t>(capacity)) return fail(ERROR_INSUFFICIENT_BUFFER);
  std::transform(converted, converted + size, out, [](In unit) { return static_cast<Out>(unit); });
  return static_cast<int>(size);
}

// Whether every unit of the text is ASCII, which both encodings write as the
// same single unit: such text converts unit for unit, without decoding.
template <typename Char>
bool isAscii(const Char* text, size_t size) {
  return std::all_of(text, text + size,
                     [](Char unit) { return static_cast<std::make_unsigned_t<Char>>(unit) < 0x80; });
}

template <typename In, typename Out>
bool badArguments(const In* in, int inSize, const Out* out, int outSize) {
  return !in || inSize == 0 || inSize < -1 || outSize < 0 || (outSize > 0 && !out) ||
         static_cast<const void*>(in) == static_cast<const void*>(out);
}

}  // namespace

int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCCH lpMultiByteStr, int cbMultiByte,
                        LPWSTR lpWideCharStr, int cchWideChar) {
  if (badArguments(lpMultiByteStr, cbMultiByte, lpWideCharStr, cchWideChar)) {
    return fail(ERROR_INVALID_PARAMETER);
  }
  if (CodePage == CP_UTF8 && (dwFlags & ~MB_ERR_INVALID_CHARS)) return fail(ERROR_INVALID_FLAGS);
  const size_t size = cbMultiByte == -1 ? std::strlen(lpMultiByteStr) + 1 : static_cast<size_t>(cbMultiByte);
  if (isAscii(lpMultiByteStr, size)) return deliver(lpMultiByteStr, size, lpWideCharStr, cchWideChar);
  const auto* text = reinterpret_cast<const unsigned char*>(lpMultiByteStr);
  std::u16string converted;
  bool invalid = false;
  for (size_t i = 0; i < size;) {
    char32_t codePoint = 0;
    i = decodeUtf8(text, size, i, &codePoint, &invalid);
    appendUtf16(converted, codePoint);
  }
  if (invalid && (dwFlags & MB_ERR_INVALID_CHARS)) return fail(ERROR_NO_UNICODE_TRANSLATION);
  return deliver(converted.data(), converted.size(), lpWideCharStr, cchWideChar);
}

int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWCH lpWideCharStr, int cchWideChar,
                        LPSTR lpMultiByteStr, int cbMultiByte, LPCCH lpDefaultChar,
                        LPBOOL lpUsedDefaultChar) {
  if (badArguments(lpWideCharStr, cchWideChar, lpMultiByteStr, cbMultiByte)) {
    return fail(ERROR_INVALID_PARAMETER);
  }
  if (CodePage == CP_UTF8) {
    if (dwFlags & ~WC_ERR_INVALID_CHARS) return fail(ERROR_INVALID_FLAGS);
    if (lpDefaultChar || lpUsedDefaultChar) return fail(ERROR_INVALID_PARAMETER);
  }
  const size_t size = cchWideChar == -1 ? std::char_traits<WCHAR>::length(lpWideCharStr) + 1
                                        : static_cast<size_t>(cchWideChar);
  if (isAscii(lpWideCharStr, size)) {
    if (lpUsedDefaultChar) *lpUsedDefaultChar = FALSE;
    return deliver(lpWideCharStr, size, lpMultiByteStr, cbMultiByte);
  }
  std::string converted;
  bool invalid = false;
  for (size_t i = 0; i < size;) {
    char32_t codePoint = 0;
    i = decodeUtf16(lpWideCharStr, size, i, &codePoint, &invalid);
    appendUtf8(converted, codePoint);
  }
  if (invalid && (dwFlags & WC_ERR_INVALID_CHARS)) return fail(ERROR_NO_UNICODE_TRANSLATION);
  if (lpUsedDefaultChar) *lpUsedDefaultChar = FALSE;
  return deliver(converted.data(), converted.size(), lpMultiByteStr, cbMultiByte);
}
