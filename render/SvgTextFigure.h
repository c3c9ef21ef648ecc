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
    ~SvgTextFigure() override = default;

    // The outlines of the glyphs the layout placed.
    Gdiplus::Status BuildPath() override;
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
    Gdiplus::RectF textBox; // TextBox, once known
    bool textBoxKnown = false;
};
