#pragma once

#include "engine/GdiText.h"
#include "render/SvgFigure.h"

#include <string>

// One character of a "text" element's character data, drawn at (x, y) like a
// run. It paints with the text element's style record, which it borrows: the
// record is never deleted here. Font and format are made anew at every build.
class SvgPositionGlyphFigure : public SvgFigure {
public:
    // Character buffer in UTF-16 units, terminator included.
    static constexpr size_t kTextUnits = 256;

    SvgPositionGlyphFigure() = default;
    ~SvgPositionGlyphFigure() override;

    Gdiplus::Status BuildPath() override;
    // The fill, then the picture of a colour glyph.
    Gdiplus::Status Fill(GdiGraphics& graphics) override;

    // Takes source's outline, position and character (not its style).
    void CopyGlyph(const SvgPositionGlyphFigure& source);
    // Paints with textStyle (not owned, must outlive this figure).
    void BorrowStyle(SvgStyle* textStyle) { style = textStyle; }

    // The advance width of the character in its font; 0 when it has none.
    float Advance();
    // How the character's format aligns it on its x (from text-anchor).
    Gdiplus::StringAlignment Alignment();

    const GdiColorGlyphs& GetColorGlyphs() const { return colorGlyphs; }

    float x = 0.0f;
    float y = 0.0f;
    std::string text; // one character, UTF-8

private:
    GdiColorGlyphs colorGlyphs; // the picture of an emoji or the like
};
