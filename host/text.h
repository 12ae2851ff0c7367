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

}  // namespace wmihost
