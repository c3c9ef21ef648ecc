#pragma once

#include "document/SvgTileCache.h"
#include "syntax/SvgMatrix.h"

#include <cstddef>
#include <memory>
#include <vector>

class FilterPool;
class GdiGraphics;
class SvgElement;

// An element whose fill and stroke context-fill and context-stroke take, and
// the map of its user space onto the target's pixels.
struct SvgPaintContext {
    const SvgElement* element;
    SvgMatrix pixels;
};

// What one draw of a document knows beyond the graphics state: the clip paths,
// masks, markers and patterns being applied (a reference back to one of them
// is ignored, and their nesting is limited), whether a clip path's coverage
// is being drawn (shapes then fill their outline, opaque, by their
// clip-rule), the elements whose paint context-fill and context-stroke take,
// what is left of the draw's budgets, the pattern tiles it rendered, and
// the filter buffers made so far. Filters whose feImage is being drawn count
// as applied too.
struct SvgRenderContext {
    // Clip paths, masks, markers and patterns applied inside one another at most.
    static constexpr size_t kMaxNesting = 16;
    // Markers one draw places, markers inside markers included.
    static constexpr long kMarkerBudget = 200000;
    // Pixels of pattern tiles one draw renders at full resolution; past them,
    // tiles are rendered coarser.
    static constexpr double kTilePixelBudget = 64.0 * 1024 * 1024;

    std::vector<const SvgElement*> applying;
    int coverage = 0;
    // The shape whose markers, or the use whose copy, is being drawn; innermost last.
    std::vector<SvgPaintContext> paintContext;
    long markersLeft = kMarkerBudget;
    double tilePixelsLeft = kTilePixelBudget;
    SvgTileCache tiles;
    // Pixels of the filter buffers made in this draw (SvgFilterEffect's
    // budget), and memory their runs keep for one another.
    double filterPixels = 0;
    std::shared_ptr<FilterPool> filterPool;

    bool Applying(const SvgElement* element) const {
        for (const SvgElement* e : applying)
            if (e == element)
                return true;
        return false;
    }
    // Starts the budgets of a new draw.
    void BeginDraw();
    // Frees what the draw kept.
    void EndDraw();
    // Makes element the innermost paint context, its user space the world
    // transform of graphics.
    void PushPaintContext(const SvgElement& element, GdiGraphics& graphics);
    // The map of graphics' world onto its target's pixels (the identity when
    // it cannot be told).
    static SvgMatrix PixelTransform(GdiGraphics& graphics);
};
