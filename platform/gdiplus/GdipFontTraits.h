#pragma once

// Fonts with more than GDI+'s bold and italic bits (extensions of ours): the
// weights 1 to 1000, widths, oblique, small capitals and the axes of variable
// fonts, as CSS asks for them. A family's face is chosen as CSS matches fonts:
// the nearest width, then slant, then weight among the faces fontconfig lists
// for it; a variable face is set to the weight and width asked for.

#include "platform/gdiplus/GdiPlus.h"

namespace Gdiplus {

class GpColorGlyphs;

struct KelFontTraits {
    INT weight = 400;   // 1 to 1000: 400 regular, 700 bold
    REAL stretch = 100; // width in percent of the normal width
    INT slant = 0;      // 0 upright, 1 italic, 2 oblique
    BOOL smallCaps = 0; // small capitals: the face's own, else made from capitals
    // Axis settings, applied after those the weight, stretch and slant give:
    // variationCount pairs of a four-letter tag (first letter in the top
    // byte) and a value.
    UINT variationCount = 0;
    const UINT32* variationTags = nullptr;
    const REAL* variationValues = nullptr;
};

extern "C" {

// A font of the family with the traits; of style only the underline and
// strikeout bits count (GdipGetFontStyle gives bold from the weight 600 up and
// italic for any slant). InvalidParameter for a bad family, size, unit or
// traits (a weight outside 1 to 1000, a width that is not positive and finite,
// more than 64 variation pairs or a non-finite value).
KELSVG_API Status WINGDIPAPI KelCreateFontWithTraits(GDIPCONST GpFontFamily* fontFamily,
                                                     REAL emSize, INT style, Unit unit,
                                                     GDIPCONST KelFontTraits* traits,
                                                     GpFont** font);
// The font's traits (those of its style bits for a font made by
// GdipCreateFont). The variation pointers point into the font and live as
// long as it does.
KELSVG_API Status WINGDIPAPI KelGetFontTraits(GDIPCONST GpFont* font, KelFontTraits* traits);
// The cell ascent and descent of the face the font draws with, in its units
// (the em size times the face's metric over its em height).
KELSVG_API Status WINGDIPAPI KelGetFontCellMetrics(GDIPCONST GpFont* font, REAL* ascent,
                                                   REAL* descent);
// GdipAddPathString in the font's family, em size, style and traits. Glyphs
// of colour bitmap fonts (emoji) add no figures: with colorGlyphs not null,
// it receives their pictures, placed as the string is laid out (null when
// the string has none); the caller deletes them.
KELSVG_API Status WINGDIPAPI KelAddPathStringFont(GpPath* path, GDIPCONST WCHAR* string, INT length,
                                                  GDIPCONST GpFont* font,
                                                  GDIPCONST RectF* layoutRect,
                                                  GDIPCONST GpStringFormat* format,
                                                  GpColorGlyphs** colorGlyphs);
// Draws the pictures under the world transform, with an opacity from 0 to 1.
KELSVG_API Status WINGDIPAPI KelDrawColorGlyphs(GpGraphics* graphics,
                                                GDIPCONST GpColorGlyphs* colorGlyphs, REAL opacity);
KELSVG_API Status WINGDIPAPI KelCloneColorGlyphs(GDIPCONST GpColorGlyphs* colorGlyphs,
                                                 GpColorGlyphs** clone);
KELSVG_API Status WINGDIPAPI KelDeleteColorGlyphs(GpColorGlyphs* colorGlyphs);

} // extern "C"

} // namespace Gdiplus
