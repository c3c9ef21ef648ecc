#include "render/SvgPathFigure.h"

#include <algorithm>
#include <new>

using namespace Gdiplus;

void SvgPathFigure::CopyFrom(const SvgFigure* source) {
    SvgFigure::CopyFrom(source);
    const auto* other = dynamic_cast<const SvgPathFigure*>(source);
    if (!other || other == this)
        return;
    pathData.clear();
    std::size_t size = other->pathData.segmentCount + other->pathData.coordinateCount;
    if (!other->pathData.data || size == 0)
        return;
    pathData.data = new (std::nothrow) float[size];
    if (!pathData.data)
        return;
    std::copy(other->pathData.data, other->pathData.data + size, pathData.data);
    pathData.segmentCount = other->pathData.segmentCount;
    pathData.coordinateCount = other->pathData.coordinateCount;
}

Status SvgPathFigure::BuildPath() {
    if (!path)
        return OutOfMemory;
    GpPath* p = path->Get();
    Status status = path->Record(GdipResetPath(p));
    if (pathData.empty() || !pathData.data)
        return status;

    const float* c = pathData.coordinates();
    const std::size_t available = pathData.coordinateCount;
    std::size_t used = 0;
    float x = 0.0f;
    float y = 0.0f;
    // Where the current subpath started, and whether it has drawn anything.
    float startX = 0.0f;
    float startY = 0.0f;
    bool drawn = true;
    for (std::size_t i = 0; i < pathData.segmentCount; ++i) {
        switch (pathData.segmentKind(i)) {
        case SvgPathSegmentMove:
            if (available - used < 2)
                return status;
            // Every move starts a figure of its own: no line bridges two subpaths.
            status = path->Record(GdipStartPathFigure(p));
            x = startX = c[used];
            y = startY = c[used + 1];
            drawn = false;
            used += 2;
            break;
        case SvgPathSegmentLine:
            if (available - used < 2)
                return status;
            status = path->Record(GdipAddPathLine(p, x, y, c[used], c[used + 1]));
            x = c[used];
            y = c[used + 1];
            drawn = true;
            used += 2;
            break;
        case SvgPathSegmentCubic:
            if (available - used < 6)
                return status;
            status = path->Record(GdipAddPathBezier(p, x, y, c[used], c[used + 1], c[used + 2],
                                                    c[used + 3], c[used + 4], c[used + 5]));
            x = c[used + 4];
            y = c[used + 5];
            drawn = true;
            used += 6;
            break;
        case SvgPathSegmentClose:
            // A move closed at once is a subpath of length zero: a line of no
            // length keeps it, so that round and square caps draw it.
            if (!drawn)
                path->Record(GdipAddPathLine(p, x, y, x, y));
            status = path->Record(GdipClosePathFigure(p));
            // The next segment starts where the closed subpath started.
            x = startX;
            y = startY;
            drawn = true;
            break;
        default: // unknown kinds take no coordinates
            break;
        }
    }
    return status;
}
