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
    // Copies nothing: a copied run draws no text.
    void CopyFrom(const SvgFigure* source) override;

    const GdiFont* GetFont() const { return font; }
    const GdiStringFormat* GetStringFormat() const { return stringFormat; }

    float x = 0.0f;
    float y = 0.0f;
    std::string text; // UTF-8

private:
    GdiFont* font = nullptr;                 // owned, made at the first build
    GdiStringFormat* stringFormat = nullptr; // owned, made at the first build
    SvgFontRequest requested;                // what font was asked for
};
