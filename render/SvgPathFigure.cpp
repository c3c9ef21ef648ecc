#include "render/SvgPathFigure.h"

using namespace Gdiplus;

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
    // A move only sets the current point: the next segment joins the open
    // figure, as the back end's figure model has no move.
    for (std::size_t i = 0; i < pathData.segmentCount; ++i) {
        switch (pathData.segmentKind(i)) {
        case SvgPathSegmentMove:
            if (available - used < 2)
                return status;
            x = c[used];
            y = c[used + 1];
            used += 2;
            break;
        case SvgPathSegmentLine:
            if (available - used < 2)
                return status;
            status = path->Record(GdipAddPathLine(p, x, y, c[used], c[used + 1]));
            x = c[used];
            y = c[used + 1];
            used += 2;
            break;
        case SvgPathSegmentCubic:
            if (available - used < 6)
                return status;
            status = path->Record(GdipAddPathBezier(p, x, y, c[used], c[used + 1], c[used + 2],
                                                    c[used + 3], c[used + 4], c[used + 5]));
            x = c[used + 4];
            y = c[used + 5];
            used += 6;
            break;
        case SvgPathSegmentClose:
            status = path->Record(GdipClosePathFigure(p));
            break;
        default: // unknown kinds take no coordinates
            break;
        }
    }
    return status;
}
