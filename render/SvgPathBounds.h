#pragma once

#include "platform/gdiplus/GdiPlus.h"

// The bounding box of a path's outline, as SVG's objectBoundingBox wants it:
// curves count by the points they pass through, not by their control points.
class SvgPathBounds {
public:
    // The box of every point of the path's lines and curves; all zero for an
    // empty path or one the back end refuses.
    static Gdiplus::RectF Of(Gdiplus::GpPath* path);
};
