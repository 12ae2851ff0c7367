#pragma once

#include <string>
#include <string_view>

#include "common/com/WmiSdk.h"

namespace qrv::cim {

// UTF-16 text as the WMI interfaces take it.
using WideText = std::basic_string<WCHAR>;
using WideTextView = std::basic_string_view<WCHAR>;

// Narrow text to UTF-16, read in `codePage` (UTF-8 unless told otherwise).
// The result ends at the text's first NUL.
WideText toWide(const std::string& text, UINT codePage = CP_UTF8);

// UTF-16 text up to its first NUL as UTF-8; a null text is empty.
std::string toUtf8(const WCHAR* text);

}  // namespace qrv::cim
