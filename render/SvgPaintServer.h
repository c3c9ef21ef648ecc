#pragma once

#include "engine/GdiBrush.h"

// An element that a fill or a stroke can reference by url(#id) to get its
// brush (the gradients). The figure owns the brush it is given and caches it.
class SvgPaintServer {
public:
    virtual ~SvgPaintServer() = default;

    // A new brush for an object whose bounding box in user space is bounds,
    // every colour's alpha scaled by alpha / 255; null when the server has
    // nothing to paint with (no stops).
    virtual GdiBrush* CreateBrush(const Gdiplus::RectF& bounds, unsigned alpha) const = 0;
};
