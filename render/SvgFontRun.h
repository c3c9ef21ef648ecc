#pragma once

#include "engine/GdiGraphics.h"
#include "engine/GdiPath.h"
#include "engine/GdiText.h"
#include "render/SvgFontBuilder.h"

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

    // Adds the run's outlines to path with its baseline on y, aligned on x by
    // format (a layout rectangle of zero size), and puts the pictures of its
    // colour glyphs (emoji) into colorGlyphs when it is given. Failures are
    // recorded in path.
    Gdiplus::Status AddTo(GdiPath* path, const WCHAR* text, float x, float y,
                          const GdiStringFormat* format,
                          GdiColorGlyphs* colorGlyphs = nullptr) const;
    // Whether a text figure draws colour glyph pictures besides its outline.
    static bool DrawsPictures(const SvgFigure* figure);
    // Paints colour glyph pictures with an alpha from 0 to 255.
    static Gdiplus::Status PaintColorGlyphs(GdiGraphics& graphics,
                                            const GdiColorGlyphs& colorGlyphs, unsigned alpha);
    // The advance width of the run, spaces included; 0 when it cannot be measured.
    float Advance(const WCHAR* text) const;

    float Size() const { return size; }
    INT Style() const { return style; }

private:
    // How far below the baseline format's line alignment puts the layout point
    // (negative: above it); 0 when the face's metrics are unknown.
    float BaselineShift(const GdiStringFormat* format) const;

    GdiFont* font; // owned; may be null or hold an empty handle
    float size;
    INT style;
};
