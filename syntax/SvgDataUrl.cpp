#include "syntax/SvgDataUrl.h"

#include "syntax/SvgCharClass.h"

#include <cstring>

namespace {

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

int Base64Value(char c) {
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

// Whether the media type part [first, last) ends in ";base64" (any case,
// white space allowed around the word).
bool SaysBase64(const char* first, const char* last) {
    while (last > first && IsSpace(last[-1]))
        --last;
    const char* word = "base64";
    if (last - first < 6)
        return false;
    for (int i = 0; i < 6; ++i)
        if (Lower(last[i - 6]) != word[i])
            return false;
    const char* p = last - 6;
    while (p > first && IsSpace(p[-1]))
        --p;
    return p > first && p[-1] == ';';
}

bool DecodeBase64(const char* p, std::vector<unsigned char>& out) {
    out.reserve(std::strlen(p) / 4 * 3 + 3);
    unsigned bits = 0;
    int count = 0;   // six-bit groups since the last whole byte run
    int padding = 0; // '=' seen
    for (; *p; ++p) {
        char c = *p;
        if (IsSpace(c))
            continue;
        if (c == '=') {
            ++padding;
            continue;
        }
        int v = Base64Value(c);
        if (v < 0 || padding > 0)
            return false;
        bits = (bits << 6) | unsigned(v);
        if (++count == 4) {
            out.push_back((unsigned char)(bits >> 16));
            out.push_back((unsigned char)(bits >> 8));
            out.push_back((unsigned char)bits);
            bits = 0;
            count = 0;
        }
    }
    // What is left: two or three groups give one or two bytes; padding, when
    // present, must complete the last group of four.
    if (count == 1 || padding > 2 || (padding > 0 && count + padding != 4))
        return false;
    if (count == 2) {
        out.push_back((unsigned char)(bits >> 4));
    } else if (count == 3) {
        out.push_back((unsigned char)(bits >> 10));
        out.push_back((unsigned char)(bits >> 2));
    }
    return true;
}

void DecodePercent(const char* p, std::vector<unsigned char>& out) {
    out.reserve(std::strlen(p));
    for (; *p; ++p) {
        int high = p[0] == '%' ? hexDigitValue(p[1]) : -1;
        int low = high >= 0 ? hexDigitValue(p[2]) : -1;
        if (low >= 0) {
            out.push_back((unsigned char)(high * 16 + low));
            p += 2;
        } else {
            out.push_back((unsigned char)*p);
        }
    }
}

} // namespace

namespace SvgDataUrl {

bool IsDataUrl(const char* text) {
    if (!text)
        return false;
    const char* scheme = "data:";
    for (int i = 0; i < 5; ++i)
        if (Lower(text[i]) != scheme[i])
            return false;
    return true;
}

bool Decode(const char* text, std::vector<unsigned char>& out) {
    out.clear();
    if (!IsDataUrl(text))
        return false;
    const char* meta = text + 5;
    const char* comma = std::strchr(meta, ',');
    if (!comma)
        return false;
    if (!SaysBase64(meta, comma)) {
        DecodePercent(comma + 1, out);
        return true;
    }
    if (DecodeBase64(comma + 1, out))
        return true;
    std::vector<unsigned char>().swap(out);
    return false;
}

} // namespace SvgDataUrl
