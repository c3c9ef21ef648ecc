// Lays out a string as glyph outlines: shaping, line breaking, alignment within
// the layout rectangle, and underline and strikeout bars.
#pragma once

#include "platform/gdiplus/FontCache.h"

#include <cstddef>

namespace Gdiplus {

struct FontLayoutRequest {
    float x = 0, y = 0, width = 0, height = 0; // layout rectangle, world units
    int align = 0;                             // 0 near, 1 center, 2 far
    int lineAlign = 0;                         // 0 near (top), 1 center, 2 far (bottom)
    int formatFlags = 0;                       // string format flags
    int style = 0;                             // bold 1, italic 2, underline 4, strikeout 8
    float emSize = 12;                         // world units
    FontTraits traits; // the face asked for; style's bold makes it at least 700, italic slanted
    bool smallCaps = false; // the face's small capitals, else capitals made smaller
};

// String format flags the layout honours.
enum : int {
    kFormatRightToLeft = 0x0001,
    kFormatNoFontFallback = 0x0400,
    kFormatMeasureTrailingSpaces = 0x0800,
    kFormatNoWrap = 0x1000,
};

// The layout box of a string: the left and advance width of its widest line,
// the top and height of its line block, and the lines that hold text. A string
// with no advance has a box of size 0 at the layout point.
struct FontMeasure {
    float left = 0, top = 0, width = 0, height = 0;
    int lines = 0;
};

struct FontColorPlacement;

// Appends the run's figures to `out` in world coordinates (y down): one Move
// starts each closed figure. Glyphs of colour bitmap fonts have no figures:
// their pictures go to `colors` when it is given. Returns false, leaving `out`
// as it was, when the result would hold non-finite coordinates.
bool LayoutString(FontFamilyEntry& family, const char32_t* text, size_t length,
                  const FontLayoutRequest& request, FontOutline& out,
                  std::vector<FontColorPlacement>* colors = nullptr);

// Measures the string as LayoutString lays it out, without its outlines.
// Returns false when the result would not be finite.
bool MeasureString(FontFamilyEntry& family, const char32_t* text, size_t length,
                   const FontLayoutRequest& request, FontMeasure& out);

} // namespace Gdiplus
