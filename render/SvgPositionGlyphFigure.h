#pragma once

#include "engine/GdiText.h"
#include "render/SvgFigure.h"
#include "render/SvgGlyphSet.h"

#include <string>

// One character of a "text" element's character data. It paints with the text
// element's style record, which it borrows: the record is never deleted here.
// The text layout shapes the characters of the text element together; the
// first glyph figure of each stretch of character data draws the glyphs of
// the whole stretch, the others only record where their character went.
class SvgPositionGlyphFigure : public SvgFigure {
public:
    SvgPositionGlyphFigure() = default;
    ~SvgPositionGlyphFigure() override;

    // The outlines of the glyphs the layout placed.
    Gdiplus::Status BuildPath() override;
    // Fills the glyphs (on a vector target they stay text), then paints the
    // pictures of colour glyphs.
    Gdiplus::Status Fill(GdiGraphics& graphics) override { return FillText(graphics, glyphs); }
    // The box of the whole text.
    Gdiplus::RectF PaintBox() const override;

    // Takes source's outline, position and character (not its style).
    void CopyGlyph(const SvgPositionGlyphFigure& source);
    // Paints with textStyle (not owned, must outlive this figure).
    void BorrowStyle(SvgStyle* textStyle) { style = textStyle; }

    float x = 0.0f; // where the layout put the character
    float y = 0.0f;
    std::string text; // one character, UTF-8
    SvgGlyphSet glyphs;
};
