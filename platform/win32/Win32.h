#pragma once

// The few Win32 types and functions the library and its hosts use, for Linux.
//
// WCHAR is char16_t: a UTF-16 code unit, as on Windows, so u"..." literals are
// wide strings. Handles are pointers to distinct incomplete structs, so they do
// not convert into one another.

#include <cstddef>
#include <cstdint>

#include "interface/KelSvgExport.h"

typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef uint16_t UINT16;
typedef uint32_t DWORD;
typedef int INT;
typedef unsigned int UINT;
typedef uint32_t UINT32;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef uintptr_t ULONG_PTR;
typedef uintptr_t UINT_PTR;
typedef intptr_t INT_PTR;
typedef int BOOL;
typedef char CHAR;
typedef char16_t WCHAR;
typedef const char* LPCSTR;
typedef char* LPSTR;
typedef const WCHAR* LPCWSTR;
typedef WCHAR* LPWSTR;
typedef void* LPVOID;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// Module handle: on Linux, any address inside the loaded module identifies it.
typedef struct HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;

// Device context: a drawing surface (see CreateBitmapDC below).
typedef struct HDC__* HDC;

struct GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};
typedef GUID CLSID;

// Code pages understood by MultiByteToWideChar / WideCharToMultiByte.
#define CP_ACP 0      // the system ANSI code page: Windows-1252 here
#define CP_UTF8 65001 // UTF-8

#define MB_ERR_INVALID_CHARS 0x00000008

#define ERROR_SUCCESS 0L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_INSUFFICIENT_BUFFER 122L
#define ERROR_INVALID_FLAGS 1004L
#define ERROR_NO_UNICODE_TRANSLATION 1113L

// Last error of the calling thread, as set by the functions below.
KELSVG_API DWORD GetLastError();
KELSVG_API void SetLastError(DWORD error);

// Converts cbMultiByte bytes (-1: up to and including the terminating NUL) of
// lpMultiByteStr to UTF-16. Code page CP_UTF8 decodes UTF-8, invalid bytes
// becoming U+FFFD (or failing with ERROR_NO_UNICODE_TRANSLATION when
// MB_ERR_INVALID_CHARS is given); CP_ACP decodes Windows-1252. With
// cchWideChar 0 nothing is written and the number of units needed is returned.
// Returns the number of units written (including the NUL when the input
// included it), or 0 on failure with GetLastError set; a buffer that is too
// small fails with ERROR_INSUFFICIENT_BUFFER and nothing past its end is written.
KELSVG_API int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr,
                                   int cbMultiByte, LPWSTR lpWideCharStr, int cchWideChar);

// The reverse conversion, for CP_UTF8 and CP_ACP (characters Windows-1252 lacks
// become '?'; unpaired surrogates become U+FFFD in UTF-8). lpDefaultChar and
// lpUsedDefaultChar are accepted and ignored except that *lpUsedDefaultChar is
// set when a replacement was made. Same measuring and buffer rules as above.
KELSVG_API int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr,
                                   int cchWideChar, LPSTR lpMultiByteStr, int cbMultiByte,
                                   LPCSTR lpDefaultChar, BOOL* lpUsedDefaultChar);

namespace Gdiplus {
class GpBitmap;
}
typedef struct _cairo cairo_t;

// Device contexts. A device context draws into a bitmap that outlives it or
// not: the context keeps the bitmap's pixels alive until DeleteDC.
// CreateBitmapDC makes one over a bitmap (NULL for a null or invalid bitmap);
// GdipCreateFromHDC then draws onto those pixels.
KELSVG_API HDC CreateBitmapDC(Gdiplus::GpBitmap* bitmap);
// An extension of ours: a device context over a host's Cairo context (a
// window's, or one over a PDF, SVG, PostScript or image surface). The host
// keeps ownership of cr and its surface; the device context holds a reference
// to cr until DeleteDC. GdipCreateFromHDC then draws with cr under its current
// transform and clip, onto whatever surface is behind it (device scale
// included), and leaves cr's state as it found it. NULL for a null context or
// one in an error state.
KELSVG_API HDC CreateCairoDC(cairo_t* cr);
KELSVG_API BOOL DeleteDC(HDC hdc);

// Saves the context's state on its stack; returns the new depth (1 for the
// first save), or 0 for an invalid context.
KELSVG_API int SaveDC(HDC hdc);
// Restores the state saved at depth nSavedDC (a negative value counts back from
// the top: -1 is the latest save) and drops the saves above it.
KELSVG_API BOOL RestoreDC(HDC hdc, int nSavedDC);
