#pragma once

#include <cstdint>

class SvgPositionGlyphFigure;

// One addressable character of a text element (a code point left after white
// space handling), with what SVG's position attributes give it and where the
// layout puts it. Characters that a shaped glyph stands for together (a
// ligature, a base with its marks) form one typographic character: the first
// carries the advance, the others follow it.
struct SvgTextCharacter {
    enum Given : uint8_t { HasX = 1, HasY = 2, HasDx = 4, HasDy = 8, HasRotate = 16 };

    char32_t code = 0;
    uint32_t source = 0;  // the piece of text (and figure) it belongs to
    uint32_t context = 0; // its bidirectional context (SvgTextBidi)
    uint32_t chunk = 0;   // the anchored chunk it belongs to
    uint32_t path = 0;    // the textPath it is set on (its index + 1), or 0
    // The x, y, dx, dy and rotate that apply to it, where given.
    float x = 0, y = 0, dx = 0, dy = 0, rotate = 0;
    uint8_t given = 0;
    uint8_t level = 0;        // bidirectional embedding level
    bool clusterStart = true; // first of its typographic character
    bool upright = false;     // stands upright in vertical text
    bool hidden = false;      // off the end of its path
    float scaleX = 1;         // horizontal scale of its glyphs (lengthAdjust)
    // Of its typographic character, spacing included (0 for the others).
    double advance = 0;
    double spacing = 0; // letter-spacing and word-spacing in advance
    double extra = 0;   // space textLength puts after it
    // Where its typographic character's origin goes: position on the
    // baseline and rotation in degrees (clockwise).
    double posX = 0, posY = 0;
    float angle = 0;
    // Character data of a text element: the glyph figure made for it.
    SvgPositionGlyphFigure* glyphFigure = nullptr;

    bool Has(Given flag) const { return (given & flag) != 0; }
};
