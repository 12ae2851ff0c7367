#pragma once
// BSTR: a length-prefixed UTF-16 string. The 4 bytes before the first
// character hold the length in bytes, and a NUL character follows the last.

#include "compat/com/BaseTypes.h"

using OLECHAR = WCHAR;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;
using BSTR = OLECHAR*;

// A UTF-16 literal: OLESTR("x") is u"x" here, as it is L"x" on Windows.
#define OLESTR(str) u##str

extern "C" {
// A copy of the NUL-terminated text; null for a null text.
BSTR SysAllocString(const OLECHAR* text);
// A string of length characters, copied from text when text is not null.
BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
// A string of length bytes, copied from bytes when bytes is not null.
BSTR SysAllocStringByteLen(LPCSTR bytes, UINT length);
void SysFreeString(BSTR text);
UINT SysStringLen(BSTR text);
UINT SysStringByteLen(BSTR text);
}
