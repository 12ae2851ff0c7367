#pragma once
// Text helpers of the stand-in: UTF-8 and UTF-16 conversion, and the
// case-insensitive comparison that WMI applies to class, property and
// namespace names (ASCII letters only, as those names are ASCII).

#include <string>
#include <string_view>

namespace wmihost {

std::u16string toUtf16(std::string_view utf8);
std::string toUtf8(std::u16string_view utf16);
// A null string reads as the empty text.
std::string toUtf8(const char16_t* utf16);

std::string toLowerAscii(std::string_view text);
bool equalsIgnoreCase(std::string_view a, std::string_view b);
// Whether UTF-16 text spells an ASCII name, ignoring case: the name that a
// client passes compared with one of the MOF's, without converting it.
bool equalsIgnoreCase(std::u16string_view text, std::string_view asciiName);

}  // namespace wmihost
