#include "compat/com/CodePage.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <type_traits>

#include "common/text/Unicode.h"

using qrv::unicode::appendUtf16;
using qrv::unicode::appendUtf8;
using qrv::unicode::decodeUtf16;
using qrv::unicode::decodeUtf8;

namespace {

int fail(DWORD error) {
  SetLastError(error);
  return 0;
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
