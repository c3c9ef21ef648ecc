#pragma once

#include "engine/GdiBrush.h"
#include "engine/GdiGraphics.h"

// An element that a fill or a stroke can reference by url(#id) to get its
// brush (the gradients). The figure owns the brush it is given and caches it.
class SvgPaintServer {
public:
    virtual ~SvgPaintServer() = default;

    // A new brush for an object whose bounding box in user space is bounds,
    // every colour's alpha scaled by alpha / 255; null when the server has
    // nothing to paint with (no stops).
    virtual GdiBrush* CreateBrush(const Gdiplus::RectF& bounds, unsigned alpha) const = 0;

    // Whether the brush holds pixels made for the resolution of one target:
    // it is then made for each paint (CreateBrushFor), not kept.
    virtual bool PaintsAtResolution() const { return false; }
    // CreateBrush for painting through graphics as it stands.
    virtual GdiBrush* CreateBrushFor(const Gdiplus::RectF& bounds, unsigned alpha,
                                     GdiGraphics& /*graphics*/) const {
        return CreateBrush(bounds, alpha);
    }
};
