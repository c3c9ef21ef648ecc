#include "render/SvgEllipseFigure.h"

using namespace Gdiplus;

Status SvgEllipseFigure::BuildPath() {
    if (!path)
        return OutOfMemory;
    path->Record(GdipResetPath(path->Get()));
    return path->Record(GdipAddPathEllipse(path->Get(), cx - rx, cy - ry, 2 * rx, 2 * ry));
}

void SvgEllipseFigure::CopyFrom(const SvgFigure* source) {
    SvgFigure::CopyFrom(source);
    if (const SvgEllipseFigure* other = dynamic_cast<const SvgEllipseFigure*>(source)) {
        cx = other->cx;
        cy = other->cy;
        rx = other->rx;
        ry = other->ry;
    }
}
