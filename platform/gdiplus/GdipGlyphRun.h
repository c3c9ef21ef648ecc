#pragma once

// Shaped glyph runs: text shaped once (glyph ids, advances, offsets and
// clusters) and its glyph outlines placed one by one, for callers that lay
// text out themselves. No GDI+ counterpart.

#include "platform/gdiplus/GdiPlus.h"

namespace Gdiplus {

class KelGlyphRun;

enum KelShapeFlags : INT {
    KelShapeRightToLeft = 0x01, // the run reads right to left
    KelShapeNoKerning = 0x02,
    KelShapeNoLigatures = 0x04, // optional ligatures and contextual alternates off
};

// One glyph of a run, in world units at the run's em size. Glyphs come in
// visual order, left to right, whatever the run's direction.
struct KelShapedGlyph {
    UINT32 cluster;        // index in the text of the first character the glyph stands for
    REAL advance;          // how far the pen moves after the glyph
    REAL offsetX, offsetY; // of the glyph from its pen position (y down)
};

// The main face's metrics at the run's em size, in world units: ascent up
// from the baseline, descent and the bars' positions down from it.
struct KelFontMetrics {
    REAL emSize;
    REAL ascent, descent;
    REAL underlinePosition, underlineThickness; // centre of the bar
    REAL strikeoutPosition, strikeoutThickness; // top of the bar
};

// The main face's baselines and script offsets at the run's em size, in world
// units up from the alphabetic baseline: from the font's BASE table where it
// has one, else from its other tables, else from its ascent or em as browsers do.
struct KelFontBaselines {
    REAL ascent, descent; // the em box's top and bottom (descent negative)
    REAL xHeight;         // height of a lower-case x
    REAL hanging;         // hanging baseline (Indic scripts)
    REAL mathematical;    // centre line of mathematical symbols
    REAL ideographic;     // bottom of ideographs
    REAL superscript;     // how far super raises
    REAL subscript;       // how far sub lowers (positive)
    REAL verticalAdvance; // advance of an upright glyph in vertical text
};

// Where one glyph of a run goes: matrix (m11 m12 m21 m22 dx dy) maps glyph
// space (origin on the glyph's pen position, offsets not applied, y down,
// world units) into the path's coordinates.
struct KelGlyphPlacement {
    INT index; // of the glyph in the run
    REAL matrix[6];
};

extern "C" {

// Shapes text[from, to) (code points; the rest of text is context for joining
// and marks) in the face family has for style (FontStyleBold, FontStyleItalic;
// decorations are ignored) at emSize, with fallback faces for characters it
// lacks. InvalidParameter for a bad range, family or size; GenericError when
// the family has no face.
KELSVG_API Status WINGDIPAPI KelCreateGlyphRun(GDIPCONST UINT32* text, INT length, INT from, INT to,
                                               GDIPCONST GpFontFamily* family, INT style,
                                               REAL emSize, INT flags, KelGlyphRun** run);
// KelCreateGlyphRun in the font's family, em size, weight, width, slant,
// variations and small capitals (decorations are ignored).
KELSVG_API Status WINGDIPAPI KelCreateGlyphRunFont(GDIPCONST UINT32* text, INT length, INT from,
                                                   INT to, GDIPCONST GpFont* font, INT flags,
                                                   KelGlyphRun** run);
KELSVG_API Status WINGDIPAPI KelDeleteGlyphRun(KelGlyphRun* run);
KELSVG_API Status WINGDIPAPI KelGetGlyphRunCount(GDIPCONST KelGlyphRun* run, INT* count);
// Copies the first count glyphs (at most the run's) into glyphs.
KELSVG_API Status WINGDIPAPI KelGetGlyphRunGlyphs(GDIPCONST KelGlyphRun* run,
                                                  KelShapedGlyph* glyphs, INT count);
KELSVG_API Status WINGDIPAPI KelGetGlyphRunMetrics(GDIPCONST KelGlyphRun* run,
                                                   KelFontMetrics* metrics);
KELSVG_API Status WINGDIPAPI KelGetGlyphRunBaselines(GDIPCONST KelGlyphRun* run,
                                                     KelFontBaselines* baselines);
// Where the glyph at index stands in vertical text, from its face's vertical
// metrics (HarfBuzz's, synthesised where the face has none), in world units:
// its vertical origin (the point on the line's centre at the top of its
// advance) from its pen position, x right and y up, and its advance down.
KELSVG_API Status WINGDIPAPI KelGetGlyphRunVertical(GDIPCONST KelGlyphRun* run, INT index,
                                                    REAL* originX, REAL* originY, REAL* advance);
// Adds the outlines of the placed glyphs to path as closed figures of their
// own. A placement of a glyph the run lacks, or whose outline would not be
// finite, adds nothing (InvalidParameter once the rest are added).
KELSVG_API Status WINGDIPAPI KelAddPathGlyphs(GpPath* path, GDIPCONST KelGlyphRun* run,
                                              GDIPCONST KelGlyphPlacement* placements, INT count);
// Whether any glyph of the run is a colour picture (of a colour bitmap font),
// which has no outline: KelDrawGlyphPictures draws it.
KELSVG_API Status WINGDIPAPI KelGlyphRunHasColor(GDIPCONST KelGlyphRun* run, BOOL* color);
// Draws the pictures of the placed colour glyphs under the world transform,
// with an opacity from 0 to 1; other glyphs draw nothing.
KELSVG_API Status WINGDIPAPI KelDrawGlyphPictures(GpGraphics* graphics, GDIPCONST KelGlyphRun* run,
                                                  GDIPCONST KelGlyphPlacement* placements,
                                                  INT count, REAL opacity);

// Whether graphics draws on a vector target (PDF, PostScript, SVG, a
// recording), where text can be kept as text.
KELSVG_API Status WINGDIPAPI KelGraphicsKeepsText(GpGraphics* graphics, BOOL* keeps);
// Fills the placed glyphs with brush, or with color when brush is null, as
// glyphs of their font on a vector target, so that they stay text there
// (selectable and searchable, the font embedded). NotImplemented, drawing
// nothing, on other targets, and for glyphs that cannot be drawn so (a made-up
// bold or slant, a variable font, colour glyphs, a face without a file of its
// own): their outlines are to be filled instead.
KELSVG_API Status WINGDIPAPI KelFillGlyphs(GpGraphics* graphics, GpBrush* brush, ARGB color,
                                           GDIPCONST KelGlyphRun* run,
                                           GDIPCONST KelGlyphPlacement* placements, INT count);

} // extern "C"

} // namespace Gdiplus
