#include "provider/wmi/TextConversion.h"

#include <algorithm>
#include <cstring>

namespace qrv::cim {

// Both conversions run in one pass into a buffer of the largest size the
// result can take: no code page gives more UTF-16 units than it reads
// bytes, and UTF-8 needs at most three bytes per UTF-16 unit.

WideText toWide(const std::string& text, UINT codePage) {
  const char* const begin = text.c_str();
  const char* const end = begin + std::strlen(begin);
  // ASCII, as names and most values are, reads the same in UTF-8 and in
  // every ANSI code page: one UTF-16 unit a byte.
  if (std::all_of(begin, end, [](char c) { return static_cast<unsigned char>(c) < 0x80; })) return WideText(begin, end);
  WideText wide(static_cast<size_t>(end - begin) + 1, WCHAR());
  const int length =
      MultiByteToWideChar(codePage, 0, begin, -1, &wide[0], static_cast<int>(wide.size()));
  wide.resize(length > 0 ? static_cast<size_t>(length) - 1 : 0);
  return wide;
}

std::string toUtf8(const WCHAR* text) {
  if (!text) return std::string();
  const size_t units = std::char_traits<WCHAR>::length(text);
  std::string narrow(3 * units + 1, '\0');
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, text, -1, &narrow[0], static_cast<int>(narrow.size()), nullptr, nullptr);
  narrow.resize(length > 0 ? static_cast<size_t>(length) - 1 : 0);
  return narrow;
}

}  // namespace qrv::cim
