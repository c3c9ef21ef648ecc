#include "render/SvgCircleFigure.h"

using namespace Gdiplus;

Status SvgCircleFigure::BuildPath() {
    if (!path)
        return OutOfMemory;
    path->Record(GdipResetPath(path->Get()));
    return path->Record(GdipAddPathEllipse(path->Get(), cx - r, cy - r, 2 * r, 2 * r));
}

void SvgCircleFigure::CopyFrom(const SvgFigure* source) {
    SvgFigure::CopyFrom(source);
    if (const SvgCircleFigure* other = dynamic_cast<const SvgCircleFigure*>(source)) {
        cx = other->cx;
        cy = other->cy;
        r = other->r;
    }
}
