#pragma once
// Text between the narrow strings of this code and the UTF-16 strings of the
// COM and WMI interfaces, through the platform's converters.

#include <string>
#include <string_view>

#include "common/com/WmiSdk.h"

namespace qrv::com {

// UTF-16 text as the WMI interfaces take it.
using WideText = std::basic_string<WCHAR>;
using WideTextView = std::basic_string_view<WCHAR>;

// Narrow text to UTF-16, read in `codePage` (UTF-8 unless told otherwise).
// The result ends at the text's first NUL.
WideText toWide(std::string_view text, UINT codePage = CP_UTF8);

// UTF-16 text as UTF-8, every unit of it.
std::string toUtf8(WideTextView text);
// UTF-16 text up to its first NUL as UTF-8; a null text is empty.
std::string toUtf8(const WCHAR* text);

}  // namespace qrv::com
