#include "host/cim/Text.h"

#include <algorithm>
#include <type_traits>

#include "common/com/WmiSdk.h"

namespace wmihost {

namespace {

// Whether every unit of the text is ASCII, which UTF-8 and UTF-16 both
// write as one unit of the same value.
template <typename Char>
bool isAscii(std::basic_string_view<Char> text) {
  return std::all_of(text.begin(), text.end(),
                     [](Char unit) { return static_cast<std::make_unsigned_t<Char>>(unit) < 0x80; });
}

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether a UTF-16 unit is the ASCII character c, ignoring case; a unit
// beyond ASCII is no ASCII character. Names mostly come in their own case,
// which the first comparison settles.
bool sameAscii(char16_t unit, char c) {
  return unit < 0x80 && (unit == c || lowerAscii(static_cast<char>(unit)) == lowerAscii(c));
}

}  // namespace

std::u16string toUtf16(std::string_view utf8) {
  if (isAscii(utf8)) return std::u16string(utf8.begin(), utf8.end());
  const int size = static_cast<int>(utf8.size());
  std::u16string wide(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0)), u'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), static_cast<int>(wide.size()));
  return wide;
}

std::string toUtf8(std::u16string_view utf16) {
  if (isAscii(utf16)) return std::string(utf16.begin(), utf16.end());
  const int size = static_cast<int>(utf16.size());
  std::string narrow(
      static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, nullptr, 0, nullptr, nullptr)),
      '\0');
  WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, narrow.data(), static_cast<int>(narrow.size()), nullptr, nullptr);
  return narrow;
}

std::string toUtf8(const char16_t* utf16) { return utf16 ? toUtf8(std::u16string_view(utf16)) : std::string(); }

std::string toLowerAscii(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(), lowerAscii);
  return lower;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
}

bool equalsIgnoreCase(std::u16string_view text, std::string_view asciiName) {
  if (text.size() != asciiName.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!sameAscii(text[i], asciiName[i])) return false;
  }
  return true;
}

}  // namespace wmihost
