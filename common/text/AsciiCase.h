#pragma once
// Case of ASCII letters only, whatever the locale: the names this system
// compares without regard to case (registry keys, WMI class, property and
// namespace names, command-line options) are ASCII, and every other
// character is left as it is.

#include <string>
#include <string_view>

namespace qrv::text {

char toLowerAscii(char c);
char toUpperAscii(char c);
std::string toLowerAscii(std::string_view text);
std::string toUpperAscii(std::string_view text);

// Whether the two texts are equal when ASCII letters are compared without
// regard to case.
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);
// Whether UTF-16 text spells an ASCII name, ignoring case: a name that a
// client passes compared with a known one, without converting it. A unit
// beyond ASCII matches no character of the name.
bool equalsIgnoringAsciiCase(std::u16string_view text, std::string_view asciiName);
// The same for wide text, UTF-16 where wchar_t is 16 bits wide (Windows).
bool equalsIgnoringAsciiCase(std::wstring_view text, std::string_view asciiName);

}  // namespace qrv::text
