// Conversions between the two narrow code pages (UTF-8 and Windows-1252) and
// UTF-16, with the Win32 rules for measuring and for short buffers.

#include <cstring>

#include "platform/win32/Win32.h"

namespace {

thread_local DWORD lastError = ERROR_SUCCESS;

// Windows-1252 bytes 0x80 to 0x9F; the five unassigned ones map to the C1
// controls, as Windows does.
const char16_t kCp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                  0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr char32_t kReplacement = 0xFFFD;

int Fail(DWORD error) {
    lastError = error;
    return 0;
}

// Writes units while the buffer has room; counts all of them.
struct WideSink {
    LPWSTR out;
    int capacity; // 0: measure only
    int count = 0;
    void Put(char16_t unit) {
        if (capacity > 0 && count < capacity)
            out[count] = unit;
        ++count;
    }
    void PutCodePoint(char32_t c) {
        if (c >= 0x10000) {
            c -= 0x10000;
            Put(char16_t(0xD800 + (c >> 10)));
            Put(char16_t(0xDC00 + (c & 0x3FF)));
        } else {
            Put(char16_t(c));
        }
    }
};

struct NarrowSink {
    LPSTR out;
    int capacity;
    int count = 0;
    void Put(char c) {
        if (capacity > 0 && count < capacity)
            out[count] = c;
        ++count;
    }
};

// Decodes one UTF-8 sequence at s[i..n); returns its code point, or
// kReplacement with *invalid set for an ill-formed maximal subpart. Advances i.
char32_t DecodeUtf8(const unsigned char* s, int n, int* i, bool* invalid) {
    unsigned char b = s[*i];
    *invalid = false;
    if (b < 0x80) {
        ++*i;
        return b;
    }
    int need;
    char32_t c;
    unsigned char lo = 0x80, hi = 0xBF; // allowed range of the second byte
    if (b >= 0xC2 && b <= 0xDF) {
        need = 1;
        c = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        need = 2;
        c = b & 0x0F;
        if (b == 0xE0)
            lo = 0xA0; // no overlong forms
        if (b == 0xED)
            hi = 0x9F; // no surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
        need = 3;
        c = b & 0x07;
        if (b == 0xF0)
            lo = 0x90;
        if (b == 0xF4)
            hi = 0x8F; // nothing above U+10FFFF
    } else {
        ++*i;
        *invalid = true;
        return kReplacement;
    }
    ++*i;
    for (int k = 0; k < need; ++k) {
        if (*i >= n) {
            *invalid = true;
            return kReplacement;
        }
        unsigned char t = s[*i];
        unsigned char min = k == 0 ? lo : 0x80, max = k == 0 ? hi : 0xBF;
        if (t < min || t > max) {
            *invalid = true; // the byte starts the next sequence
            return kReplacement;
        }
        c = (c << 6) | (t & 0x3F);
        ++*i;
    }
    return c;
}

} // namespace

DWORD GetLastError() {
    return lastError;
}

void SetLastError(DWORD error) {
    lastError = error;
}

int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                        LPWSTR lpWideCharStr, int cchWideChar) {
    if (!lpMultiByteStr || cbMultiByte == 0 || cbMultiByte < -1 || cchWideChar < 0 ||
        (cchWideChar > 0 && !lpWideCharStr))
        return Fail(ERROR_INVALID_PARAMETER);
    if (CodePage != CP_UTF8 && CodePage != CP_ACP)
        return Fail(ERROR_INVALID_PARAMETER);
    if ((CodePage == CP_UTF8 && (dwFlags & ~DWORD(MB_ERR_INVALID_CHARS))) ||
        (dwFlags & ~DWORD(0x0F)))
        return Fail(ERROR_INVALID_FLAGS);
    int n = cbMultiByte == -1 ? int(std::strlen(lpMultiByteStr)) + 1 : cbMultiByte;
    const auto* s = reinterpret_cast<const unsigned char*>(lpMultiByteStr);
    WideSink sink{lpWideCharStr, cchWideChar};
    if (CodePage == CP_ACP) {
        for (int i = 0; i < n; ++i)
            sink.Put(s[i] >= 0x80 && s[i] <= 0x9F ? kCp1252High[s[i] - 0x80] : char16_t(s[i]));
    } else {
        for (int i = 0; i < n;) {
            bool invalid;
            char32_t c = DecodeUtf8(s, n, &i, &invalid);
            if (invalid && (dwFlags & MB_ERR_INVALID_CHARS))
                return Fail(ERROR_NO_UNICODE_TRANSLATION);
            sink.PutCodePoint(c);
        }
    }
    if (cchWideChar > 0 && sink.count > cchWideChar)
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    lastError = ERROR_SUCCESS;
    return sink.count;
}

int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                        LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                        BOOL* lpUsedDefaultChar) {
    if (!lpWideCharStr || cchWideChar == 0 || cchWideChar < -1 || cbMultiByte < 0 ||
        (cbMultiByte > 0 && !lpMultiByteStr))
        return Fail(ERROR_INVALID_PARAMETER);
    if (CodePage != CP_UTF8 && CodePage != CP_ACP)
        return Fail(ERROR_INVALID_PARAMETER);
    if (CodePage == CP_UTF8 && (lpDefaultChar || lpUsedDefaultChar))
        return Fail(ERROR_INVALID_PARAMETER);
    if (dwFlags & ~DWORD(0x0F | 0x400 | 0x80))
        return Fail(ERROR_INVALID_FLAGS);
    int n = cchWideChar;
    if (n == -1) {
        n = 0;
        while (lpWideCharStr[n])
            ++n;
        ++n;
    }
    NarrowSink sink{lpMultiByteStr, cbMultiByte};
    bool usedDefault = false;
    for (int i = 0; i < n; ++i) {
        char32_t c = lpWideCharStr[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && lpWideCharStr[i + 1] >= 0xDC00 &&
            lpWideCharStr[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (lpWideCharStr[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = kReplacement;
        }
        if (CodePage == CP_UTF8) {
            if (c < 0x80) {
                sink.Put(char(c));
            } else if (c < 0x800) {
                sink.Put(char(0xC0 | (c >> 6)));
                sink.Put(char(0x80 | (c & 0x3F)));
            } else if (c < 0x10000) {
                sink.Put(char(0xE0 | (c >> 12)));
                sink.Put(char(0x80 | ((c >> 6) & 0x3F)));
                sink.Put(char(0x80 | (c & 0x3F)));
            } else {
                sink.Put(char(0xF0 | (c >> 18)));
                sink.Put(char(0x80 | ((c >> 12) & 0x3F)));
                sink.Put(char(0x80 | ((c >> 6) & 0x3F)));
                sink.Put(char(0x80 | (c & 0x3F)));
            }
            continue;
        }
        int byte = -1;
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            byte = int(c);
        } else {
            for (int k = 0; k < 32; ++k)
                if (kCp1252High[k] == c)
                    byte = 0x80 + k;
        }
        if (byte < 0) {
            usedDefault = true;
            byte = lpDefaultChar ? static_cast<unsigned char>(*lpDefaultChar) : '?';
        }
        sink.Put(char(byte));
    }
    if (lpUsedDefaultChar)
        *lpUsedDefaultChar = usedDefault ? TRUE : FALSE;
    if (cbMultiByte > 0 && sink.count > cbMultiByte)
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    lastError = ERROR_SUCCESS;
    return sink.count;
}
