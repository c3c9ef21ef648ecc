#include "interface/KelSvg.h"
#include "style/SvgColorReaders.h"

bool KelParseColor(const char* text, unsigned int& argb) {
    // The same reader as fill and stroke, for the whole text.
    uint32_t read = 0;
    if (!text || !ParseColorArgb(text, read))
        return false;
    argb = read;
    return true;
}
