#pragma once

#include "render/SvgFigure.h"
#include "render/SvgGlyphSet.h"

#include <string>

// One run of text (a "text" or "tspan" element) as glyph outlines. The text
// layout (SvgTextLayout) shapes and places its glyphs; the figure builds its
// path from them.
class SvgTextFigure : public SvgFigure {
public:
    // Longest run in characters; longer text is cut.
    static constexpr size_t kMaxCharacters = 2559;

    SvgTextFigure() = default;
    ~SvgTextFigure() override;

    // The outlines of the glyphs the layout placed, and the decorations that
    // go over the text.
    Gdiplus::Status BuildPath() override;
    // Fills the glyphs (on a vector target they stay text), then paints the
    // pictures of colour glyphs.
    Gdiplus::Status Fill(GdiGraphics& graphics) override { return FillText(graphics, glyphs); }
    // Paints the decorations drawn over the text (after the element's
    // children), or their share of a clip path's coverage.
    void PaintOverlay(GdiGraphics& graphics, bool coverage);
    bool HasOverlay() const { return overlay != nullptr; }
    // The source's outline, position and text as laid out (not re-laid out
    // in this figure's font), and its style under this figure's parent.
    void CopyFrom(const SvgFigure* source) override;
    Gdiplus::RectF PaintBox() const override { return TextBoxAround(GetOwner()); }

    // The box of the whole text this run belongs to (the outlines of all its
    // runs and glyphs, in the text's user space), found once.
    Gdiplus::RectF TextBox();
    // TextBox of the text element holds, for a figure of a text, a tspan or
    // a glyph.
    static Gdiplus::RectF TextBoxAround(const SvgElement* element);

    float x = 0.0f; // where the layout put the run's first character
    float y = 0.0f;
    std::string text; // UTF-8
    SvgGlyphSet glyphs;

private:
    GdiPath* overlay = nullptr; // owned; null without decorations over the text
    Gdiplus::RectF textBox;     // TextBox, once known
    bool textBoxKnown = false;
};
