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
};

// String format flags the layout honours.
enum : int {
    kFormatRightToLeft = 0x0001,
    kFormatNoFontFallback = 0x0400,
    kFormatMeasureTrailingSpaces = 0x0800,
    kFormatNoWrap = 0x1000,
};

// Appends the run's figures to `out` in world coordinates (y down): one Move
// starts each closed figure. Returns false, leaving `out` as it was, when the
// result would hold non-finite coordinates.
bool LayoutString(FontFamilyEntry& family, const char32_t* text, size_t length,
                  const FontLayoutRequest& request, FontOutline& out);

} // namespace Gdiplus
