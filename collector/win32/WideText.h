#pragma once
// Windows' UTF-16 text and the collector's UTF-8.

#include <windows.h>

#include <string>
#include <string_view>

namespace collector {

// UTF-16 text as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string utf8(std::wstring_view text);
// Up to the first NUL of a fixed-size field, at most size units.
std::string utf8(const wchar_t* text, std::size_t size);
// UTF-8 text as UTF-16; an ill-formed sequence becomes U+FFFD.
std::wstring wide(std::string_view utf8Text);

// The system's text for an error code, without its line end.
std::string errorText(DWORD error);

}  // namespace collector
