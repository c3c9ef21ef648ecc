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

    float x = 0.0f; // where the layout put the run's first character
    float y = 0.0f;
    std::string text; // UTF-8
    SvgGlyphSet glyphs;
};
