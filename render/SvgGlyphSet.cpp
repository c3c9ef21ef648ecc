#include "render/SvgGlyphSet.h"

using namespace Gdiplus;

namespace {

void AddBars(GdiPath& path, const std::vector<PointF>& bars) {
    for (size_t i = 0; i + 4 <= bars.size(); i += 4) {
        path.Record(GdipStartPathFigure(path.Get()));
        path.Record(GdipAddPathLine2(path.Get(), &bars[i], 4));
        path.Record(GdipClosePathFigure(path.Get()));
    }
}

} // namespace

void SvgGlyphSet::Add(const std::shared_ptr<GdiGlyphRun>& run, const KelGlyphPlacement& glyph) {
    if (!run || !run->Get())
        return;
    // Consecutive glyphs of one run go in one call.
    if (groups.empty() || groups.back().run != run)
        groups.push_back({run, {}});
    groups.back().glyphs.push_back(glyph);
}

void SvgGlyphSet::AddBar(const PointF corners[4], bool over) {
    std::vector<PointF>& into = over ? overBars : bars;
    into.insert(into.end(), corners, corners + 4);
}

void SvgGlyphSet::Clear() {
    groups.clear();
    bars.clear();
    overBars.clear();
}

size_t SvgGlyphSet::GlyphCount() const {
    size_t count = 0;
    for (const Group& group : groups)
        count += group.glyphs.size();
    return count;
}

void SvgGlyphSet::AddTo(GdiPath& path) const {
    for (const Group& group : groups)
        path.Record(KelAddPathGlyphs(path.Get(), group.run->Get(), group.glyphs.data(),
                                     INT(group.glyphs.size())));
    AddBars(path, bars);
}

bool SvgGlyphSet::HasPictures() const {
    for (const Group& group : groups) {
        BOOL color = FALSE;
        if (KelGlyphRunHasColor(group.run->Get(), &color) == Ok && color)
            return true;
    }
    return false;
}

void SvgGlyphSet::PaintPictures(GdiGraphics& graphics, float opacity) const {
    for (const Group& group : groups)
        graphics.Record(KelDrawGlyphPictures(graphics.Get(), group.run->Get(), group.glyphs.data(),
                                             INT(group.glyphs.size()), opacity));
}

void SvgGlyphSet::AddOverlayTo(GdiPath& path) const {
    AddBars(path, overBars);
}

bool SvgGlyphSet::KeepsText(GdiGraphics& graphics) const {
    BOOL keeps = FALSE;
    return !groups.empty() && KelGraphicsKeepsText(graphics.Get(), &keeps) == Ok && keeps;
}

bool SvgGlyphSet::FillAsText(GdiGraphics& graphics, GpBrush* brush, ARGB color,
                             const GdiPath* outline) const {
    if (!KeepsText(graphics))
        return false;
    FillMode mode = FillModeAlternate;
    if (outline)
        GdipGetPathFillMode(outline->Get(), &mode);
    // What cannot be text (and the bars) is filled as outlines.
    GdiPath* shapes = GdiPath::Create(mode);
    if (!shapes)
        return false;
    for (const Group& group : groups) {
        Status status = KelFillGlyphs(graphics.Get(), brush, color, group.run->Get(),
                                      group.glyphs.data(), INT(group.glyphs.size()));
        if (status == NotImplemented)
            shapes->Record(KelAddPathGlyphs(shapes->Get(), group.run->Get(), group.glyphs.data(),
                                            INT(group.glyphs.size())));
        else
            graphics.Record(status);
    }
    AddBars(*shapes, bars);
    graphics.Record(brush ? GdipFillPath(graphics.Get(), brush, shapes->Get())
                          : KelFillPathColor(graphics.Get(), color, shapes->Get()));
    delete shapes;
    return true;
}
