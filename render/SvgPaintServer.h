#pragma once

#include "engine/GdiBrush.h"

// An element that a fill can reference by url(#id) to get its brush (the
// gradients). The figure owns the brush it is given and caches it.
class SvgPaintServer {
public:
    virtual ~SvgPaintServer() = default;

    // A new brush for an object whose bounding box is bounds, every colour with
    // the given alpha; null when none can be made.
    virtual GdiBrush* CreateBrush(const Gdiplus::GpRect& bounds, unsigned alpha) const = 0;
};
