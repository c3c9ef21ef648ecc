// Lays out a string as glyph outlines: shaping, line breaking, alignment within
// the layout rectangle, and underline and strikeout bars.
#pragma once

#include "platform/gdiplus/FontCache.h"
#include "platform/gdiplus/GdiPlus.h"

#include <cstddef>
#include <memory>
#include <vector>

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

// Options of a shaped run. Without kShapeGuessDirection the direction is
// left to right unless kShapeRightToLeft says otherwise.
enum : int {
    kShapeRightToLeft = 0x01,
    kShapeNoKerning = 0x02,
    kShapeNoLigatures = 0x04, // optional ligatures and contextual alternates off
    kShapeGuessDirection = 0x100,
};

// One glyph of a shaped run, in em units (multiply by the em size).
struct ShapedGlyph {
    FontFace* face = nullptr; // the main face, or a fallback for a character it lacks
    uint32_t glyph = 0;
    uint32_t cluster = 0; // index in the text of the first character the glyph stands for
    float advance = 0;
    float offsetX = 0, offsetY = 0; // from the pen position; y up
    bool bold = false;              // synthesised
    bool italic = false;            // synthesised
    float size = 1;                 // of the em: made-up small capitals are smaller
};

// A run's glyphs in visual order (left to right, whatever the direction).
struct ShapedRun {
    std::vector<ShapedGlyph> glyphs;
    const FontFace* metrics = nullptr; // the main face
};

// Shapes text[from, to) in one direction with the face the family has for the
// traits (small capitals too) and fallback faces for characters it lacks;
// the rest of text is context (joining, marks). Results are cached. Null when
// the family has no face or the range is not within text.
std::shared_ptr<const ShapedRun> ShapeText(FontFamilyEntry& family, const FontTraits& traits,
                                           bool smallCaps, const char32_t* text, size_t length,
                                           size_t from, size_t to, int flags);

// Appends the glyph's outline at emSize, mapped by m (m11 m12 m21 m22 dx dy)
// from glyph space (origin on its pen position, y down, world units). Returns
// false, appending nothing, when a coordinate would not be finite.
bool AppendGlyphOutline(const ShapedGlyph& glyph, float emSize, const float m[6], FontOutline& out);

// The entry behind a family handle, or null for an invalid handle.
FontFamilyEntry* FamilyEntryOf(const GpFontFamily* family);
// The family, traits, small capitals and em size of a font; false for an
// invalid handle.
bool FontSettingsOf(const GpFont* font, FontFamilyEntry*& family, FontTraits& traits,
                    bool& smallCaps, float& emSize);

// Adds the figures of an outline in world coordinates to path: each starts a
// figure of its own and is closed.
Status AddOutlineFigures(GpPath* path, const FontOutline& outline);

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
