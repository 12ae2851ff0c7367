#pragma once
// The Windows base types, with the sizes they have on Windows: LONG and ULONG
// are 32 bits wide, WCHAR is a UTF-16 code unit.

#include <cstdint>

using BYTE = unsigned char;
using WORD = unsigned short;
using DWORD = uint32_t;
using BOOL = int;
using INT = int;
using UINT = unsigned int;
using SHORT = short;
using USHORT = unsigned short;
using LONG = int32_t;
using ULONG = uint32_t;
using LONGLONG = int64_t;
using ULONGLONG = uint64_t;
using UINT64 = uint64_t;
using FLOAT = float;
using DOUBLE = double;
using CHAR = char;
using WCHAR = char16_t;
using LONG_PTR = intptr_t;
using ULONG_PTR = uintptr_t;

using PVOID = void*;
using LPVOID = void*;
using HANDLE = void*;
using PHANDLE = HANDLE*;
using LPBOOL = BOOL*;
using PDWORD = DWORD*;
using LPDWORD = DWORD*;
using LPSTR = char*;
using LPCSTR = const char*;
using LPCCH = const char*;
using LPWSTR = WCHAR*;
using LPCWSTR = const WCHAR*;
using LPCWCH = const WCHAR*;
using LCID = DWORD;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// Calling conventions do not exist here; the macros keep declarations written
// for Windows unchanged.
#define WINAPI
#define STDMETHODCALLTYPE
#define STDMETHOD(method) virtual HRESULT STDMETHODCALLTYPE method
#define STDMETHOD_(type, method) virtual type STDMETHODCALLTYPE method
#define STDMETHODIMP HRESULT STDMETHODCALLTYPE
#define STDMETHODIMP_(type) type STDMETHODCALLTYPE
#define STDAPI extern "C" HRESULT STDMETHODCALLTYPE
#define STDAPI_(type) extern "C" type STDMETHODCALLTYPE
#define PURE = 0
