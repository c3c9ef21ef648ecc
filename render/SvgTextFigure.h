#pragma once

#include "render/SvgFigure.h"
#include "render/SvgFontBuilder.h"

#include <string>

// One run of text (a "text" or "tspan" element) as glyph outlines, placed at
// (x, y) by the element's text-anchor, with its baseline on y. The
// font and string format are made at the first build and kept.
class SvgTextFigure : public SvgFigure {
public:
    // Longest run in UTF-16 units, terminator included; longer text is cut.
    static constexpr size_t kTextUnits = 2560;

    SvgTextFigure() = default;
    ~SvgTextFigure() override;

    Gdiplus::Status BuildPath() override;
    // The fill, then the pictures of colour glyphs.
    Gdiplus::Status Fill(GdiGraphics& graphics) override;
    // The source's outline, position and text as laid out (not re-laid out
    // in this figure's font), and its style under this figure's parent.
    void CopyFrom(const SvgFigure* source) override;

    // The advance width of the run, spaces included; 0 when it has none.
    float Advance();
    // How the run's format aligns it on its x (from text-anchor).
    Gdiplus::StringAlignment Alignment();

    const GdiFont* GetFont() const { return font; }
    const GdiColorGlyphs& GetColorGlyphs() const { return colorGlyphs; }
    const GdiStringFormat* GetStringFormat() const { return stringFormat; }

    float x = 0.0f;
    float y = 0.0f;
    std::string text; // UTF-8

private:
    // Makes the font and the string format when they are not made yet.
    void Prepare();

    GdiFont* font = nullptr;                 // owned, made at the first build
    GdiStringFormat* stringFormat = nullptr; // owned, made at the first build
    SvgFontRequest requested;                // what font was asked for
    GdiColorGlyphs colorGlyphs;              // pictures of emoji and the like
};
