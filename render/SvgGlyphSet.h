#pragma once

#include "engine/GdiGraphics.h"
#include "engine/GdiPath.h"
#include "engine/GdiText.h"

#include <memory>
#include <vector>

// The glyphs a text figure draws, each placed by a matrix, and the bars of its
// decorations: what the text layout gives the figure to build its path from.
class SvgGlyphSet {
public:
    // One glyph of run; the run is kept as long as the set is.
    void Add(const std::shared_ptr<GdiGlyphRun>& run, const Gdiplus::KelGlyphPlacement& glyph);
    // A filled quadrilateral (four corners in order); one drawn over the text
    // (a line through it) goes with the overlay.
    void AddBar(const Gdiplus::PointF corners[4], bool over = false);
    void Clear();
    bool Empty() const { return groups.empty() && bars.empty() && overBars.empty(); }
    bool HasOverlay() const { return !overBars.empty(); }
    // Whether any glyph is a colour picture (which has no outline).
    bool HasPictures() const;
    size_t GlyphCount() const;

    // Adds the outlines and the bars under the text to path; failures are
    // recorded in it.
    void AddTo(GdiPath& path) const;
    // Adds the bars over the text to path.
    void AddOverlayTo(GdiPath& path) const;
    // Whether FillAsText draws on graphics: glyphs on a vector target.
    bool KeepsText(GdiGraphics& graphics) const;
    // On a vector target, fills the glyphs as text of their fonts (outlines
    // where that cannot be) and the bars under the text as shapes, with
    // brush, or color when brush is null, by outline's fill rule. False,
    // drawing nothing, on other targets.
    bool FillAsText(GdiGraphics& graphics, Gdiplus::GpBrush* brush, Gdiplus::ARGB color,
                    const GdiPath* outline) const;
    // Paints the pictures of colour glyphs with an opacity from 0 to 1.
    void PaintPictures(GdiGraphics& graphics, float opacity) const;

private:
    struct Group {
        std::shared_ptr<GdiGlyphRun> run;
        std::vector<Gdiplus::KelGlyphPlacement> glyphs;
    };
    std::vector<Group> groups;
    std::vector<Gdiplus::PointF> bars, overBars; // four corners each
};
