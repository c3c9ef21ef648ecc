#include "render/SvgPointsFigure.h"

#include <climits>
#include <vector>

using namespace Gdiplus;

void SvgPointsFigure::CopyFrom(const SvgFigure* source) {
    SvgFigure::CopyFrom(source);
    if (const auto* other = dynamic_cast<const SvgPointsFigure*>(source))
        if (other != this)
            points = other->points;
}

Status SvgPointsFigure::BuildPath() {
    if (!path)
        return OutOfMemory;
    GpPath* p = path->Get();
    path->Record(GdipResetPath(p));
    std::size_t count = points.numberOfItems();
    if (count > static_cast<std::size_t>(INT_MAX))
        return path->Record(InvalidParameter);
    std::vector<GpPointF> series;
    series.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const SvgPoint* point = points.getItem(i);
        series.emplace_back(point->getX(), point->getY());
    }
    Status status = path->Record(
        GdipAddPathLine2(p, series.empty() ? nullptr : series.data(), static_cast<INT>(count)));
    if (closed)
        status = path->Record(GdipClosePathFigure(p));
    return status;
}
