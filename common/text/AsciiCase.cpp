#include "common/text/AsciiCase.h"

#include <algorithm>

namespace qrv::text {

char toLowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

char toUpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string toLowerAscii(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = toLowerAscii(c);
  return lower;
}

std::string toUpperAscii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = toUpperAscii(c);
  return upper;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return toLowerAscii(x) == toLowerAscii(y); });
}

namespace {

template <typename Unit>
bool unitsEqualIgnoringAsciiCase(std::basic_string_view<Unit> text, std::string_view asciiName) {
  return text.size() == asciiName.size() &&
         std::equal(text.begin(), text.end(), asciiName.begin(), [](Unit unit, char c) {
           // Names mostly come in their own case, which the first comparison settles.
           return static_cast<char32_t>(unit) < 0x80 &&
                  (static_cast<char32_t>(unit) == static_cast<unsigned char>(c) ||
                   toLowerAscii(static_cast<char>(unit)) == toLowerAscii(c));
         });
}

}  // namespace

bool equalsIgnoringAsciiCase(std::u16string_view text, std::string_view asciiName) {
  return unitsEqualIgnoringAsciiCase(text, asciiName);
}

bool equalsIgnoringAsciiCase(std::wstring_view text, std::string_view asciiName) {
  return unitsEqualIgnoringAsciiCase(text, asciiName);
}

}  // namespace qrv::text
