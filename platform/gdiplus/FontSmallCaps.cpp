#include "platform/gdiplus/FontSmallCaps.h"

namespace Gdiplus {

char32_t CapitalOf(char32_t c) {
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return c - 0x20;
    if (c == 0xFF)
        return 0x178;
    if (c == 0xB5)
        return 0x39C; // micro sign: capital mu
    // Latin Extended-A: capital and small letters in pairs, mostly even/odd.
    if (c >= 0x100 && c <= 0x17F) {
        bool evenLower = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F)
            return 0;
        if (evenLower)
            return (c & 1) == 0 ? c - 1 : 0;
        return (c & 1) == 1 ? c - 1 : 0;
    }
    if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2)
        return c - 0x20; // Greek
    if (c == 0x3C2)
        return 0x3A3; // final sigma
    if (c >= 0x430 && c <= 0x44F)
        return c - 0x20; // Cyrillic
    if (c >= 0x450 && c <= 0x45F)
        return c - 0x50;
    if (c >= 0x561 && c <= 0x586)
        return c - 0x30; // Armenian
    return 0;
}

} // namespace Gdiplus
