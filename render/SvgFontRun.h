#pragma once

#include "engine/GdiGraphics.h"
#include "engine/GdiPath.h"
#include "engine/GdiText.h"
#include "render/SvgFontBuilder.h"

#include <memory>

class SvgFigure;

// The font a run of text is drawn with: its own, or, when the back end refused
// it, one of the fallback family with the size, style and traits that were
// asked for.
class SvgFontRun {
public:
    // Failures on the font are recorded in it; font may be null.
    SvgFontRun(GdiFont* font, const SvgFontRequest& requested);
    ~SvgFontRun();
    SvgFontRun(const SvgFontRun&) = delete;
    SvgFontRun& operator=(const SvgFontRun&) = delete;

    // text[from, to) shaped in this font (code points; the rest of text is
    // context), flags KelShapeFlags. Null when the back end refused it (no
    // family, a size that is not positive).
    std::shared_ptr<GdiGlyphRun> Shape(const UINT32* text, size_t length, size_t from, size_t to,
                                       INT flags) const;
    // Whether a text figure draws colour glyph pictures besides its outline.
    static bool DrawsPictures(const SvgFigure* figure);
    // The advance width of the run, spaces included; 0 when it cannot be measured.
    float Advance(const WCHAR* text) const;
    // The main face's metrics at this size; false when the back end has none.
    bool Metrics(Gdiplus::KelFontMetrics& metrics) const;

    float Size() const { return size; }
    INT Style() const { return style; }

private:
    GdiFont* font; // owned; may be null or hold an empty handle
    float size;
    INT style;
};
