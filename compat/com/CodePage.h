#pragma once
// Conversion between narrow text and UTF-16. Every code page is UTF-8 here,
// the ANSI code pages included.

#include "compat/com/Errors.h"

constexpr UINT CP_ACP = 0;
constexpr UINT CP_OEMCP = 1;
constexpr UINT CP_MACCP = 2;
constexpr UINT CP_THREAD_ACP = 3;
constexpr UINT CP_UTF8 = 65001;

constexpr DWORD MB_PRECOMPOSED = 0x1;
constexpr DWORD MB_ERR_INVALID_CHARS = 0x8;
constexpr DWORD WC_ERR_INVALID_CHARS = 0x80;

extern "C" {
// cbMultiByte -1 converts up to and including the terminating NUL.
// cchWideChar 0 returns the size needed, in characters. A result that does
// not fit fails with ERROR_INSUFFICIENT_BUFFER. Invalid UTF-8 becomes U+FFFD,
// or fails with ERROR_NO_UNICODE_TRANSLATION under MB_ERR_INVALID_CHARS.
int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCCH lpMultiByteStr, int cbMultiByte,
                        LPWSTR lpWideCharStr, int cchWideChar);
// The same rules in the other direction; an unpaired surrogate becomes
// U+FFFD, or fails under WC_ERR_INVALID_CHARS. No default character is ever
// used, so *lpUsedDefaultChar is set to FALSE.
int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWCH lpWideCharStr, int cchWideChar,
                        LPSTR lpMultiByteStr, int cbMultiByte, LPCCH lpDefaultChar, LPBOOL lpUsedDefaultChar);
}
