#pragma once

// Advances of text in an installed font, read by the tests themselves: the
// font file found through fontconfig, its glyphs shaped by HarfBuzz directly.

#include <string>

struct hb_font_t;

class FontMetrics {
public:
    explicit FontMetrics(const std::string& family);
    ~FontMetrics();
    FontMetrics(const FontMetrics&) = delete;
    FontMetrics& operator=(const FontMetrics&) = delete;

    // The advance of text (UTF-8) at size, shaped in its script's direction
    // with kerning and ligatures, or without kerning.
    double Advance(const std::string& text, double size, bool kerning = true) const;
    // The glyph count HarfBuzz shapes text into.
    int Glyphs(const std::string& text) const;
    // A metric of the font (hb_ot_metrics_tag_t) at size, 0 when it has none,
    // and a baseline of its BASE table (Latin), fallbackEm ems when absent.
    double Metric(unsigned tag, double size) const;
    double Baseline(unsigned tag, double size, double fallbackEm) const;
    // The vertical origin of the character's glyph from its horizontal one
    // (x right, y up) and its vertical advance, at size.
    void Vertical(char32_t code, double size, double& x, double& y, double& advance) const;

private:
    hb_font_t* font = nullptr;
    double upem = 1000;
};
