#include "common/com/TextConversion.h"

#include <algorithm>
#include <type_traits>

namespace qrv::com {

namespace {

// Whether every unit of the text is ASCII, which reads the same in UTF-8,
// in every ANSI code page and in UTF-16: one unit of the same value. Names
// and most values are.
template <typename Char>
bool isAscii(std::basic_string_view<Char> text) {
  return std::all_of(text.begin(), text.end(),
                     [](Char unit) { return static_cast<std::make_unsigned_t<Char>>(unit) < 0x80; });
}

}  // namespace

// Both conversions run in one pass into a buffer of the largest size the
// result can take: no code page gives more UTF-16 units than it reads
// bytes, and UTF-8 needs at most three bytes per UTF-16 unit.

WideText toWide(std::string_view text, UINT codePage) {
  text = text.substr(0, text.find('\0'));
  if (isAscii(text)) return WideText(text.begin(), text.end());
  WideText wide(text.size(), WCHAR());
  const int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0],
                                         static_cast<int>(wide.size()));
  wide.resize(length > 0 ? static_cast<size_t>(length) : 0);
  return wide;
}

std::string toUtf8(WideTextView text) {
  if (isAscii(text)) return std::string(text.begin(), text.end());
  std::string narrow(3 * text.size(), '\0');
  const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &narrow[0],
                                         static_cast<int>(narrow.size()), nullptr, nullptr);
  narrow.resize(length > 0 ? static_cast<size_t>(length) : 0);
  return narrow;
}

std::string toUtf8(const WCHAR* text) { return text ? toUtf8(WideTextView(text)) : std::string(); }

}  // namespace qrv::com
