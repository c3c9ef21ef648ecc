#include "interface/KelSvg.h"
#include "style/SvgColorReaders.h"

#include <cstring>
#include <strings.h>

bool KelParseColor(const char* text, unsigned int& argb) {
    if (!text)
        return false;
    const char* begin = text;
    while (*begin == ' ' || *begin == '\t' || *begin == '\n' || *begin == '\r')
        ++begin;
    std::size_t length = std::strlen(begin);
    while (length > 0 && std::strchr(" \t\n\r", begin[length - 1]))
        --length;
    if (length == 11 && strncasecmp(begin, "transparent", 11) == 0) {
        argb = 0;
        return true;
    }
    // The same reader as fill and stroke; it must take the whole text.
    const std::string whole(begin, length);
    const char* end = nullptr;
    uint32_t packed = ReadColor(whole.c_str(), &end, kNoColor);
    if (packed == kNoColor || end != whole.c_str() + whole.size())
        return false;
    argb = 0xFF000000u | (packed >> 8);
    return true;
}
